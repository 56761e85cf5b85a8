# Turns the Yale Bright Star Catalogue as Debian's xplanet ships it (stars/BSC: one
# star a line, declination in degrees, right ascension in hours, visual magnitude,
# then names) into a C++ table: cmake -DIN=BSC -DOUT=star_catalogue.cpp -P star_table.cmake
# Without the catalogue the table is empty and the Natural look shows no stars.
set(rows "")
set(count 0)
if(EXISTS "${IN}")
  file(STRINGS "${IN}" lines REGEX "^ *[-+]?[0-9]")
  foreach(line IN LISTS lines)
    if(line MATCHES "^ *([-+]?[0-9]+\\.?[0-9]*) +([0-9]+\\.?[0-9]*) +([-+]?[0-9]+\\.?[0-9]*)")
      string(APPEND rows "    {${CMAKE_MATCH_1}f, ${CMAKE_MATCH_2}f, ${CMAKE_MATCH_3}f},\n")
      math(EXPR count "${count} + 1")
    endif()
  endforeach()
endif()
if(count EQUAL 0)
  set(rows "    {0.0f, 0.0f, 99.0f},\n")
endif()
file(WRITE "${OUT}.new"
  "// Generated at build time from the Yale Bright Star Catalogue, 5th revised edition\n"
  "// (public domain; Hoffleit and Warren, via Debian's xplanet: ${IN}).\n"
  "#include \"globe/sky.h\"\n\n"
  "const CatalogueStar StarCatalogue[] = {\n${rows}};\n"
  "const int StarCatalogueCount = ${count};\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
