# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a file in DIR includes a header of a layer folder that is not in
# ALLOWED (the folder itself and the layers below it). Run as a build step by
# vantor_layer(); writes STAMP when every include is in order.
cmake_policy(SET CMP0057 NEW)
string(REPLACE "," ";" allowed "${ALLOWED}")
string(REPLACE "," ";" folders "${FOLDERS}")
file(GLOB files ${DIR}/*.cpp ${DIR}/*.h)
set(wrong "")
foreach(f ${files})
  file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([A-Za-z_]+)/.*$" "\\1" target "${line}")
    if(target IN_LIST folders AND NOT target IN_LIST allowed)
      list(APPEND wrong "${f}: ${line}")
    endif()
  endforeach()
endforeach()
if(wrong)
  string(REPLACE ";" "\n  " wrong "${wrong}")
  message(FATAL_ERROR "An include reaches up from its layer (allowed: ${ALLOWED}):\n  ${wrong}")
endif()
file(WRITE ${STAMP} "")
