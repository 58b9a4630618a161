# The network layer's build settings: where the online version check asks, and the web address
# its messages name. Both are cache values, so a release build sets them on the command line:
#   cmake -DKV_VERSION_SERVER=versions.example.org -DKV_VERSION_WEB=www.example.org ...
# The defaults keep a development build on the local machine: the check asks port 80 of
# 127.0.0.1 (normally closed, so the check fails quietly with one console line).
set(KV_VERSION_SERVER "127.0.0.1" CACHE STRING
    "Version server of the online version check: HOST or HOST:PORT (port 80 when not given)")
set(KV_VERSION_WEB "www.kessravorn.example" CACHE STRING
    "Web address named in the online version check's question and new-version message")
configure_file(${CMAKE_SOURCE_DIR}/cmake/version_server.h.in
               ${CMAKE_BINARY_DIR}/generated/net/version_server.h @ONLY)
target_include_directories(kv_net PUBLIC ${CMAKE_BINARY_DIR}/generated)
# The menu asks the version server through the network layer.
target_link_libraries(kv_menu PUBLIC kv_net)
