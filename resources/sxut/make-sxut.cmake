# Writes the administrator password file "sxut.dll" delivered beside the program: a data file
# whose bytes 5000 to 5011 hold the password. They are spaces here, so the program starts with no
# administrator password. The other bytes are text of our own and are never read.
#   cmake -DOUTPUT=<path> -P make-sxut.cmake
if(NOT OUTPUT)
  message(FATAL_ERROR "OUTPUT not set")
endif()
set(head "zkalto administrator password file. Bytes 5000 to 5011 hold the password.\n")
string(LENGTH "${head}" head_length)
math(EXPR fill_length "5000 - ${head_length}")
string(REPEAT "." ${fill_length} fill)
string(REPEAT " " 12 password)
string(REPEAT "." 1131 tail)
file(WRITE "${OUTPUT}" "${head}${fill}${password}${tail}\n")
