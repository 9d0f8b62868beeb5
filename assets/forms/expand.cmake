# Expands the file references of a window definition into byte blocks, so the
# definition text stays readable and the pictures stay the only source:
#   png("art/x.png")  -> {length byte, "TPngImage", the PNG file}
#   file("art/x.ico") -> {the file}
# Usage: cmake -DINPUT=in.form -DOUTPUT=out.form -DBASE=<assets dir> -P expand.cmake
file(READ "${INPUT}" text)
string(REGEX MATCHALL "(png|file)\\(\"[^\"]+\"\\)" references "${text}")
list(REMOVE_DUPLICATES references)
string(HEX "TPngImage" png_class)
string(LENGTH "TPngImage" png_class_length)
math(EXPR png_class_length "${png_class_length}" OUTPUT_FORMAT HEXADECIMAL)
string(REPLACE "0x" "" png_class_length "${png_class_length}")
string(LENGTH "${png_class_length}" digits)
if(digits EQUAL 1)
  set(png_class_length "0${png_class_length}")
endif()
foreach(reference IN LISTS references)
  string(REGEX REPLACE "^(png|file)\\(\"([^\"]+)\"\\)$" "\\1" kind "${reference}")
  string(REGEX REPLACE "^(png|file)\\(\"([^\"]+)\"\\)$" "\\2" path "${reference}")
  file(READ "${BASE}/${path}" bytes HEX)
  if(kind STREQUAL "png")
    set(bytes "${png_class_length}${png_class}${bytes}")
  endif()
  string(TOUPPER "${bytes}" bytes)
  # 64 digits (32 bytes) to a line
  string(REGEX REPLACE "([0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F])"
         "\\1\n      " bytes "${bytes}")
  string(REPLACE "${reference}" "{\n      ${bytes}\n    }" text "${text}")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
