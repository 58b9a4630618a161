# The PNG tests compare our encoder and decoder with libpng, which serves only as a reference peer.
target_link_libraries(${t} PRIVATE PNG::PNG)
