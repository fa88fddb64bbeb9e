# Writes the AppStream metainfo from its template.
#   MODELE       the template (packaging/*.metainfo.xml.in)
#   SORTIE       the file to write
#   VERSION      the program's version
#   DOCS         the folder of the screenshots (docs/)
#   URL_CAPTURES the web address where docs/ is published; when empty the
#                metainfo lists no screenshot, since software centres only
#                accept screenshots given by a web address.
# Used by CMakeLists.txt (include) and by the installation test (cmake -P).

# Width and height of a PNG file, from its IHDR chunk.
function(merle_taille_png fichier largeur hauteur)
  file(READ "${fichier}" entete OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${entete}" 0 8 l)
  string(SUBSTRING "${entete}" 8 8 h)
  math(EXPR l "0x${l}")
  math(EXPR h "0x${h}")
  set(${largeur} ${l} PARENT_SCOPE)
  set(${hauteur} ${h} PARENT_SCOPE)
endfunction()

function(merle_ecrire_metainfo modele sortie version docs url)
  set(MERLE_VERSION "${version}")
  set(MERLE_CAPTURES "")
  if(url)
    string(REGEX REPLACE "/+$" "" url "${url}")
    # file name | caption; the first one is the default screenshot.
    set(captures
      "table-1x.png|La table de jeu au cours d'une donne"
      "aide-regle-1x.png|La règle du jeu dans la fenêtre d'aide"
      "fin-manche-1x.png|Le résultat d'une manche")
    set(MERLE_CAPTURES "  <screenshots>\n")
    set(genre "default")
    foreach(capture IN LISTS captures)
      string(REPLACE "|" ";" morceaux "${capture}")
      list(GET morceaux 0 nom)
      list(GET morceaux 1 legende)
      if(NOT EXISTS "${docs}/${nom}")
        message(FATAL_ERROR "Capture absente : ${docs}/${nom}")
      endif()
      merle_taille_png("${docs}/${nom}" largeur hauteur)
      string(APPEND MERLE_CAPTURES
        "    <screenshot type=\"${genre}\">\n"
        "      <caption>${legende}</caption>\n"
        "      <image type=\"source\" width=\"${largeur}\" height=\"${hauteur}\">${url}/${nom}</image>\n"
        "    </screenshot>\n")
      set(genre "extra")
    endforeach()
    string(APPEND MERLE_CAPTURES "  </screenshots>\n")
  endif()
  configure_file("${modele}" "${sortie}" @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  merle_ecrire_metainfo("${MODELE}" "${SORTIE}" "${VERSION}" "${DOCS}" "${URL_CAPTURES}")
endif()
