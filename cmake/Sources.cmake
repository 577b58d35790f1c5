# Each library takes every source file of its folder, so that adding a file needs no edit here.
function(kavex_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()
