# quintaral_include_folder(<target> <folder>): gives <target> a public include folder that holds
# "<folder>/..." and nothing else, so that the sources of <folder> (and whoever links <target>)
# write #include "<folder>/x.h" while no other folder of the tree is reachable from them: an
# engine source that includes "ui/..." or "project/..." does not compile. The folder holds one
# forwarding header per header of <folder>, written by the configure step only when it changes.
function(quintaral_include_folder target folder)
  set(root ${PROJECT_BINARY_DIR}/generated/include-${folder})
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/${folder}
       ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  foreach(header IN LISTS headers)
    file(CONFIGURE OUTPUT ${root}/${folder}/${header}
         CONTENT "#include \"${PROJECT_SOURCE_DIR}/${folder}/${header}\"\n" @ONLY)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
