# qorlib3Config.cmake: find_package(qorlib3) gives the imported target qorlib3::qorlib3.
get_filename_component(_qorlib3_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

if(NOT EXISTS "${_qorlib3_prefix}/lib/libqorlib3.so" OR
   NOT EXISTS "${_qorlib3_prefix}/include/qorlib3.h")
  set(qorlib3_FOUND FALSE)
  set(qorlib3_NOT_FOUND_MESSAGE "libqorlib3.so or qorlib3.h is missing under ${_qorlib3_prefix}")
  unset(_qorlib3_prefix)
  return()
endif()

if(NOT TARGET qorlib3::qorlib3)
  add_library(qorlib3::qorlib3 SHARED IMPORTED)
  set_target_properties(qorlib3::qorlib3 PROPERTIES
    IMPORTED_LOCATION "${_qorlib3_prefix}/lib/libqorlib3.so"
    # Programs record the bare file name, so any library of that name can stand in later.
    IMPORTED_SONAME "libqorlib3.so"
    INTERFACE_INCLUDE_DIRECTORIES "${_qorlib3_prefix}/include")
endif()
unset(_qorlib3_prefix)
