# The configuration tool's logic library (tools/config) and its headers.
if(TARGET kv_configtool)
  target_link_libraries(${t} PRIVATE kv_configtool)
endif()
if(TARGET config)
  target_compile_definitions(${t} PRIVATE KV_HAVE_CONFIG_TOOL=1)
endif()
