# Looks for the names of the test switches (read from the header that declares them) among the
# strings of an executable: -DEXECUTABLE=<file> -DHEADER=<test_switches.h> -DEXPECT=absent|present.
# The installed executable must have none; the test variant, checked too, must have every one,
# which shows that the check finds what it looks for.
file(STRINGS ${HEADER} declarations REGEX "inline constexpr const char\\* k[A-Za-z]+ = \"[A-Z_]+\";")
set(switches "")
foreach(line IN LISTS declarations)
  string(REGEX REPLACE ".*= \"([A-Z_]+)\";.*" "\\1" name "${line}")
  list(APPEND switches ${name})
endforeach()
if(NOT switches)
  message(FATAL_ERROR "no test switch declared in ${HEADER}")
endif()
foreach(name IN LISTS switches)
  file(STRINGS ${EXECUTABLE} found REGEX "${name}" LIMIT_COUNT 1)
  if(EXPECT STREQUAL "absent" AND found)
    message(FATAL_ERROR "${EXECUTABLE} carries the test switch ${name}")
  elseif(EXPECT STREQUAL "present" AND NOT found)
    message(FATAL_ERROR "${EXECUTABLE} lacks the test switch ${name}: the check would not see it")
  endif()
endforeach()
message(STATUS "${EXECUTABLE}: test switches ${EXPECT}: ${switches}")
