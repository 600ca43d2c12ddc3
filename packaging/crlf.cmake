# cmake -DINPUT=in.md -DOUTPUT=out.txt -P crlf.cmake: the text with CRLF line ends.
file(READ ${INPUT} _text)
string(REPLACE "\r\n" "\n" _text "${_text}")
string(REPLACE "\n" "\r\n" _text "${_text}")
file(WRITE ${OUTPUT} "${_text}")
