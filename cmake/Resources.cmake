# vkt_add_resources(target source...): compiles each resource source with the resource compiler
# (platform/win/rc) into a C++ source of the target that embeds the resources and registers them
# under the module the target builds, for as long as it is loaded.
function(vkt_add_resources target)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  foreach(source IN LISTS ARGN)
    get_filename_component(path ${source} ABSOLUTE)
    get_filename_component(name ${source} NAME)
    set(output ${folder}/${name}.cpp)
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND vkt_rc ${path} -o ${output} --depfile ${output}.d
      DEPENDS vkt_rc ${path}
      DEPFILE ${output}.d
      COMMENT "Compiling resources ${name}"
      VERBATIM)
    target_sources(${target} PRIVATE ${output})
  endforeach()
endfunction()
