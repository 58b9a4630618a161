# The end-to-end tests compile a generated module with the project's own compiler.
target_compile_definitions(${t} PRIVATE KV_CXX="${CMAKE_CXX_COMPILER}")
