# The SDL 1.2 key numbers of the control-code table are checked against SDL's own header.
if(SDL_FOUND AND SDL_INCLUDE_DIR)
  target_include_directories(${t} PRIVATE ${SDL_INCLUDE_DIR})
  target_compile_definitions(${t} PRIVATE KV_HAVE_SDL_KEYSYM=1)
endif()
