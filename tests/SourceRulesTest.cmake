# Run as a test: cmake -DRULES_SCRIPT=<cmake/SourceRules.cmake> -DTABLE=<LayeringTable.cmake>
#   -DWORK=<scratch folder> -P SourceRulesTest.cmake
# Each case is one file of a scratch tree: the check of the sources must name it with the
# line of its breach, or leave it unnamed. A rule whose patterns drift (a catch split over
# lines, a comment for a body, an include by folder) shows here, not in review.
cmake_minimum_required(VERSION 3.25)

set(n "\n")
# <file>|<the line named, or pass>|<contents, @ for ;>
set(cases
  "src/engine/A.cpp|5|void f()${n}{${n}    try {${n}        g()@${n}    } catch (const std::exception&) {}${n}}${n}"
  "src/predictions/B.cpp|4|void f()${n}{${n}    try { g()@ }${n}    catch (...)${n}    {${n}        // nothing to do${n}    }${n}}${n}"
  "src/shell/C.cpp|1|void f() { try { g()@ } catch(...){ /* { */ @ } }${n}"
  "src/entry/D.cpp|pass|void f() { try { g()@ } catch (const VbError& e) { MsgBox(\"}\")@ } }${n}"
  "src/entry/E.cpp|pass|void f() { try { g()@ } catch (const VbError&) { return@ } }${n}"
  "src/entry/F.cpp|pass|// an empty catch (...) {} is what the build refuses${n}"
  "src/platform/Steps.h|pass|void f() { try { g()@ } catch (const std::exception&) {} }${n}"
  "tests/entry/G.cpp|pass|void f() { try { g()@ } catch (...) {} }${n}"
  "src/engine/H.cpp|2|#include \"TSPredict.h\"${n}#include \"../standings/StandingsCalc.h\"${n}"
  "src/engine/I.cpp|1|#include \"standings/StandingsCalc.h\"${n}"
  "src/engine/P.cpp|3|#include <vector>${n}${n}#include <../standings/StandingsCalc.h>${n}"
  "src/engine/Q.cpp|2|#include \"TSPredict.h\"${n}#  include <standings/StandingsCalc.h>${n}"
  "src/predictions/R.cpp|pass|#include <../season/SeasonData.h>${n}#include <gtest/gtest.h>${n}#include <sys/stat.h>${n}"
  "src/predictions/J.cpp|pass|#include \"../season/SeasonData.h\"${n}#include \"gtest/gtest.h\"${n}"
  "src/season/K.cpp|1|#include \"../../tests/support/WaitFor.h\"${n}"
  "tests/reports/L.cpp|1|#include \"../internet/LoopbackServer.h\"${n}"
  "tests/reports/M.cpp|pass|#include \"../support/WaitFor.h\"${n}#include \"../../src/shell/Windows.h\"${n}"
  "src/season/N.h|3|#pragma once${n}${n}#include <QString>${n}"
  "src/engine/O.cpp|2|int f()${n}{ return Season().WeekSlots@ }${n}"
)

set(tree ${WORK}/source_rules_cases)
file(REMOVE_RECURSE ${tree})
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 file)
  list(GET parts 2 contents)
  string(REPLACE "@" ";" contents "${contents}")
  file(WRITE ${tree}/${file} "${contents}")
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -DTABLE=${TABLE} -P ${RULES_SCRIPT}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(REMOVE_RECURSE ${tree})
# The message box of CMake wraps long lines: join them again.
string(REGEX REPLACE "\n *" " " output "${output}")

set(failures "")
if(result EQUAL 0)
  list(APPEND failures "the check passed a tree that breaks the rules")
endif()
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 file)
  list(GET parts 1 expected)
  string(REPLACE "." "\\." pattern "${file}")
  if(expected STREQUAL "pass")
    if(output MATCHES "${pattern}:")
      list(APPEND failures "${file} keeps the rules but was named")
    endif()
  elseif(NOT output MATCHES "${pattern}:${expected}: ")
    list(APPEND failures "${file} was not named with line ${expected}")
  endif()
endforeach()
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}\nThe check said:\n${output}")
endif()
list(LENGTH cases count)
message(STATUS "${count} cases: every breach named with its file and line")
