# cmake -DOUTPUT=THIRD-PARTY.txt -DPROGRAMS=romprog.exe,romtool.exe
#       -Dromprog.exe=libjpeg62-turbo -Dromtool.exe=zlib1g,libpng16-16,... -P third_party.cmake
# The notices of the libraries linked into the Windows programs: for each
# program the Debian packages whose code it carries, then each package's
# copyright file from this machine (/usr/share/doc/PACKAGE/copyright), and
# where the source of everything statically linked is. Written as Windows
# text (see windows_text.cmake).
set(_docs /usr/share/doc)
set(_packages)
set(_carried "")
string(REPLACE "," ";" _programs "${PROGRAMS}")
foreach(_program IN LISTS _programs)
  string(REPLACE "," ", " _names "${${_program}}")
  string(APPEND _carried "  ${_program}: ${_names}\n")
  string(REPLACE "," ";" _names "${${_program}}")
  list(APPEND _packages ${_names})
endforeach()
list(REMOVE_DUPLICATES _packages)

set(_sources "")
set(_notices "")
foreach(_package IN LISTS _packages)
  set(_copyright ${_docs}/${_package}/copyright)
  if(NOT EXISTS ${_copyright})
    message(FATAL_ERROR "${_copyright} is missing: install the Debian package ${_package}")
  endif()
  execute_process(COMMAND dpkg-query -W "-f=\${source:Package}\n" ${_package}
                  OUTPUT_VARIABLE _source RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0 OR _source STREQUAL "")
    message(FATAL_ERROR "dpkg-query knows no source package of ${_package}")
  endif()
  # A package installed for two architectures answers once for each.
  string(REGEX REPLACE "\n.*" "" _source "${_source}")
  string(APPEND _sources "  ${_package}: ${_source}\n")
  file(READ ${_copyright} _text)
  string(APPEND _notices "\n==== ${_package} (${_copyright} of Debian 12) ====\n\n${_text}")
endforeach()

set(_text "Third-party software in romprog's Windows programs\n\n")
string(APPEND _text "These libraries are linked statically into the programs:\n\n${_carried}\n")
string(APPEND _text "Each was built from Debian 12's source package:\n\n${_sources}\n")
string(APPEND _text
       "libgcrypt and libgpg-error are under the GNU Lesser General Public License 2.1 or later.\n"
       "Since they are linked statically, whoever gave you this package gives you on request\n"
       "the complete corresponding source of romprog and romtool, with the build files that\n"
       "cross-build each library above from its Debian source package, so that you can relink\n"
       "the programs with a changed library. The libraries' source is the Debian source\n"
       "packages named above, at\n"
       "https://deb.debian.org/debian/pool/main/ and https://snapshot.debian.org/.\n\n"
       "Their licences and copyright notices follow, each as Debian ships it.\n${_notices}")
file(WRITE ${OUTPUT}.txt "${_text}")
set(INPUT ${OUTPUT}.txt)
include(${CMAKE_CURRENT_LIST_DIR}/windows_text.cmake)
file(REMOVE ${OUTPUT}.txt)
