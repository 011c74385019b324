# One static library per source layer. Each library sees the headers of its
# own folder and, through the libraries it links, of the layers below it, and
# no others: an include of a higher layer fails to compile. A layer's view is
# a folder in the build tree holding one link, named after the layer, to its
# source folder; the view is the library's public include folder.

# missivo_layer_view(<folder> <variable>): makes the view of src/<folder> and
# sets <variable> to it.
function(missivo_layer_view folder variable)
  set(view ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${view})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
  set(${variable} ${view} PARENT_SCOPE)
endfunction()

# missivo_layer(<target> <folder> SOURCES ...): the layer's library; link the
# layers below with target_link_libraries(<target> PUBLIC ...).
function(missivo_layer target folder)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  missivo_layer_view(${folder} view)
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${view})
  target_link_libraries(${target} PUBLIC missivo_flags)
endfunction()
