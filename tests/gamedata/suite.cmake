# The minimap test decodes the generated picture with libpng, used here only as a reader.
target_link_libraries(${t} PRIVATE PNG::PNG)
