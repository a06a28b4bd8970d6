# The list of changes, NEWS.md, read into the <release> elements of the
# software centre's description. (The Debian package carries NEWS.md itself as
# its upstream changelog, beside debian/changelog.)
#
# NEWS.md holds "## VERSION (YYYY-MM-DD)" or "## VERSION (unreleased)"
# headings, newest first, each followed by optional plain paragraphs and
# "- " items (continued by indented lines). An unreleased version is dated
# SOURCE_DATE_EPOCH when it is set (as dpkg-buildpackage sets it, from
# debian/changelog), so that two builds of one source give the same bytes;
# else the day it is built.

# Text of Markdown for plain text: code spans lose their backticks.
function(_tarvik_prosty text vysledek)
  string(REPLACE "`" "" text "${text}")
  set(${vysledek} "${text}" PARENT_SCOPE)
endfunction()

function(_tarvik_xml text vysledek)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${vysledek} "${text}" PARENT_SCOPE)
endfunction()

# The entry being read ends: its item, if any, joins the items of its version.
macro(_tarvik_ukoncit_polozku)
  if(NOT polozka STREQUAL "" AND NOT aktualni STREQUAL "")
    list(APPEND polozky_${aktualni} "${polozka}")
  endif()
  set(polozka "")
endmacro()

# tarvik_zmeny(NEWS VERSION RELEASES_VAR)
# Sets RELEASES_VAR to the <release> elements. Fails when the newest version
# of NEWS is not VERSION.
function(tarvik_zmeny news verze releases_var)
  file(READ ${news} obsah)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${news})
  # The text's semicolons and brackets would split or join CMake's list
  # items: they travel as control characters and come back at the end.
  string(ASCII 1 strednik)
  string(ASCII 2 leva)
  string(ASCII 3 prava)
  string(REPLACE ";" "${strednik}" obsah "${obsah}")
  string(REPLACE "[" "${leva}" obsah "${obsah}")
  string(REPLACE "]" "${prava}" obsah "${obsah}")
  string(REPLACE "\n" ";" radky "${obsah}")

  # The versions, each with its date, whether it is released, and its items.
  set(verze_seznam "")
  set(aktualni "")
  set(polozka "")
  foreach(radek IN LISTS radky)
    if(radek MATCHES "^## ([0-9][0-9.]*) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)$")
      _tarvik_ukoncit_polozku()
      set(aktualni ${CMAKE_MATCH_1})
      set(datum_${aktualni} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
      set(vydana_${aktualni} TRUE)
      list(APPEND verze_seznam ${aktualni})
    elseif(radek MATCHES "^## ([0-9][0-9.]*) \\(unreleased\\)$")
      _tarvik_ukoncit_polozku()
      set(aktualni ${CMAKE_MATCH_1})
      string(TIMESTAMP dnes "%Y;%m;%d" UTC)
      set(datum_${aktualni} ${dnes})
      set(vydana_${aktualni} FALSE)
      list(APPEND verze_seznam ${aktualni})
    elseif(radek MATCHES "^#")
      if(NOT aktualni STREQUAL "")
        message(FATAL_ERROR "${news}: a heading that is not \"## VERSION (YYYY-MM-DD)\" "
          "or \"## VERSION (unreleased)\": ${radek}")
      endif()
    elseif(aktualni STREQUAL "")
      # The file's introduction.
    elseif(radek MATCHES "^- (.*)$")
      _tarvik_ukoncit_polozku()
      set(polozka "${CMAKE_MATCH_1}")
    elseif(radek MATCHES "^[ \t]*$")
      _tarvik_ukoncit_polozku()
    else()
      # The continuation of an item, or a line of a plain paragraph, which
      # becomes an item of its own.
      string(STRIP "${radek}" cast)
      if(polozka STREQUAL "")
        set(polozka "${cast}")
      else()
        string(APPEND polozka " ${cast}")
      endif()
    endif()
  endforeach()
  _tarvik_ukoncit_polozku()

  list(LENGTH verze_seznam pocet)
  if(pocet EQUAL 0)
    message(FATAL_ERROR "${news} names no version")
  endif()
  list(GET verze_seznam 0 nejnovejsi)
  if(NOT nejnovejsi STREQUAL verze)
    message(FATAL_ERROR "${news} begins with version ${nejnovejsi}, CMakeLists.txt's project() says ${verze}: "
      "add the changes of ${verze} to ${news}")
  endif()

  set(releases "")
  foreach(v IN LISTS verze_seznam)
    list(GET datum_${v} 0 rok)
    list(GET datum_${v} 1 mesic)
    list(GET datum_${v} 2 den)
    if(vydana_${v})
      set(typ "")
    else()
      set(typ " type=\"development\"")
    endif()
    string(APPEND releases "    <release version=\"${v}\" date=\"${rok}-${mesic}-${den}\"${typ}>\n")
    string(APPEND releases "      <description>\n        <ul>\n")
    foreach(p IN LISTS polozky_${v})
      _tarvik_prosty("${p}" prosty)
      _tarvik_xml("${prosty}" xml)
      string(APPEND releases "          <li>${xml}</li>\n")
    endforeach()
    string(APPEND releases "        </ul>\n      </description>\n    </release>\n")
  endforeach()
  string(STRIP "${releases}" releases)
  string(REPLACE "${strednik}" ";" releases "${releases}")
  string(REPLACE "${leva}" "[" releases "${releases}")
  string(REPLACE "${prava}" "]" releases "${releases}")
  set(${releases_var} "${releases}" PARENT_SCOPE)
endfunction()
