# Links `target` against Node-API imported from "node.exe" and delay-loaded, so that the
# module's notification hook can bind it to whichever executable loads the module. The import
# library is made from the Node-API names of node-api-headers' .def file `def_file`.
function(link_node_api_delay_loaded target def_file)
  file(STRINGS ${def_file} names REGEX "^napi_")
  list(JOIN names "\n" names)
  set(node_def ${CMAKE_CURRENT_BINARY_DIR}/node.def)
  file(WRITE ${node_def} "LIBRARY node.exe\nEXPORTS\n${names}\n")
  if(MSVC)
    set(import_lib ${CMAKE_CURRENT_BINARY_DIR}/node.lib)
    add_custom_command(OUTPUT ${import_lib}
      COMMAND ${CMAKE_AR} /def:${node_def} /out:${import_lib} /machine:x64
      DEPENDS ${node_def})
    target_link_libraries(${target} PRIVATE ${import_lib} delayimp)
    target_link_options(${target} PRIVATE /DELAYLOAD:node.exe)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded")
  else()
    find_program(DLLTOOL NAMES ${CMAKE_CXX_COMPILER_PREFIX}dlltool x86_64-w64-mingw32-dlltool
                 REQUIRED)
    set(import_lib ${CMAKE_CURRENT_BINARY_DIR}/libnode_delay.a)
    add_custom_command(OUTPUT ${import_lib}
      COMMAND ${DLLTOOL} -d ${node_def} -y ${import_lib}
      DEPENDS ${node_def})
    target_link_libraries(${target} PRIVATE ${import_lib})
    # The C++ runtime is linked in: the module needs no DLL beyond the system's.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
  add_custom_target(${target}_node_import_lib DEPENDS ${import_lib})
  add_dependencies(${target} ${target}_node_import_lib)
endfunction()
