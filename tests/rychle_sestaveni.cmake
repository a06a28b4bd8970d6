# tarvik_rychle_testy(<target> [QT])
# The test files of a target built for a quick build: the headers that they
# all read (GoogleTest and the standard library; with QT the Qt and
# QScintilla headers of the window tests) precompiled once, and the test
# files' own code optimised less (-O1) in an optimised build. The code under
# test is built apart, with the flags of its build type. With ccache, set
# CCACHE_SLOPPINESS=pch_defines,time_macros for it to cache the test files,
# or build without the precompiled headers (-DTARVIK_PCH=OFF).
option(TARVIK_PCH "Precompile the headers of the test files" ON)
function(tarvik_rychle_testy cil)
  cmake_parse_arguments(a "QT" "" "" ${ARGN})
  if(TARVIK_PCH)
    set(hlavicky <gtest/gtest.h> <algorithm> <filesystem> <fstream> <functional> <map>
      <optional> <set> <string> <string_view> <vector>)
    if(a_QT)
      list(APPEND hlavicky <QtWidgets> <QTest> <QSignalSpy> <Qsci/qsciscintilla.h>)
    endif()
    target_precompile_headers(${cil} PRIVATE ${hlavicky})
  endif()
  if(NOT MSVC)
    target_compile_options(${cil} PRIVATE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-O1>)
  endif()
endfunction()
