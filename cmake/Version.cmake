# quenmora_version: the header with the project's version, for the tools' --version and the
# Windows programs' version resource.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/quenmora_version.h @ONLY)
add_library(quenmora_version INTERFACE)
target_include_directories(quenmora_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
