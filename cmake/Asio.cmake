# Standalone Asio is header-only (Debian's libasio-dev). For the cross build the compiler must see
# asio.hpp and asio/ alone: the host's whole /usr/include would shadow MinGW's own headers.
find_path(QUENMORA_ASIO_HEADER asio.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT QUENMORA_ASIO_HEADER)
  message(FATAL_ERROR "asio.hpp not found: install libasio-dev (scripts/install-deps does)")
endif()
set(QUENMORA_ASIO_DIR ${CMAKE_BINARY_DIR}/asio-include)
file(MAKE_DIRECTORY ${QUENMORA_ASIO_DIR})
file(CREATE_LINK ${QUENMORA_ASIO_HEADER}/asio.hpp ${QUENMORA_ASIO_DIR}/asio.hpp SYMBOLIC)
file(CREATE_LINK ${QUENMORA_ASIO_HEADER}/asio ${QUENMORA_ASIO_DIR}/asio SYMBOLIC)

add_library(quenmora_asio INTERFACE)
target_include_directories(quenmora_asio SYSTEM INTERFACE ${QUENMORA_ASIO_DIR})
target_compile_definitions(quenmora_asio INTERFACE ASIO_STANDALONE ASIO_NO_DEPRECATED)
find_package(Threads REQUIRED)
target_link_libraries(quenmora_asio INTERFACE Threads::Threads)
if(WIN32)
  target_link_libraries(quenmora_asio INTERFACE ws2_32 mswsock)
endif()
