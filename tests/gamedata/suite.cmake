# The minimap test decodes the generated picture with libpng, used here only as a reader.
target_link_libraries(${t} PRIVATE PNG::PNG)
# The relief tests build the island in memory, with and without its relief, from the
# generator's own sources.
target_sources(${t} PRIVATE ${CMAKE_SOURCE_DIR}/tools/assetgen/island_terrain.cpp
                            ${CMAKE_SOURCE_DIR}/tools/assetgen/island_relief.cpp)
