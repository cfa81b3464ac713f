# Writes the text of IN as the C++ character array SYMBOL into OUT.
file(READ ${IN} text)
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\nnamespace sq {\nextern const char ${SYMBOL}[];\nconst char ${SYMBOL}[] = R\"sqgrammar(${text})sqgrammar\";\n}  // namespace sq\n")
