# Each library takes every source file of its folder, so that adding a file needs no edit here.
function(kavex_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# A program made of every source file of the calling folder, linked to one library.
function(kavex_program name lib)
  kavex_sources(_src ${CMAKE_CURRENT_SOURCE_DIR})
  if(_src)
    add_executable(${name} ${_src})
    target_link_libraries(${name} PRIVATE ${lib})
  endif()
endfunction()
