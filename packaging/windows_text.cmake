# cmake -DINPUT=in.md -DOUTPUT=out.txt -P windows_text.cmake: the UTF-8 text
# with CRLF line ends and a byte order mark, which is how Notepad on every
# Windows version shows the Cyrillic in it right and line by line.
file(READ ${INPUT} _text)
string(REPLACE "\r\n" "\n" _text "${_text}")
string(REPLACE "\n" "\r\n" _text "${_text}")
string(ASCII 239 187 191 _bom)
file(WRITE ${OUTPUT} "${_bom}${_text}")
