# Each library's public include root holds links to its own folder's headers and no
# others, so a source compiles an include only from the libraries its target links:
# an arrow the CMake files do not draw is refused by the compiler.
#   build/include/<library>/<folder from the repository root>/<header> -> the header
# The links are per file, because a folder's library is not the library of the folders
# inside it (document/ is the model, document/sharing/ the sharing). The links are
# made anew at every configure; a new header (globbed) re-runs it.
function(zeltrano_public_headers name dir)
  file(GLOB _headers CONFIGURE_DEPENDS ${dir}/*.h ${dir}/*.hpp)
  file(RELATIVE_PATH _folder ${PROJECT_SOURCE_DIR} ${dir})
  set(_root ${CMAKE_BINARY_DIR}/include/${name})
  file(REMOVE_RECURSE ${_root})
  file(MAKE_DIRECTORY ${_root}/${_folder})
  foreach(_header IN LISTS _headers)
    get_filename_component(_file ${_header} NAME)
    file(CREATE_LINK ${_header} ${_root}/${_folder}/${_file} SYMBOLIC)
  endforeach()
  target_include_directories(${name} PUBLIC ${_root})
endfunction()

# A library made of every source in one folder (globbed so that new files need no list edit).
function(zeltrano_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.hpp)
  # A folder that has no source yet still forms a library that others can link.
  set(_empty ${CMAKE_BINARY_DIR}/zeltrano_empty.cpp)
  if(NOT EXISTS ${_empty})
    file(WRITE ${_empty} "// placeholder for a library without sources\n")
  endif()
  add_library(${name} STATIC ${_src} ${_empty})
  zeltrano_public_headers(${name} ${dir})
  zeltrano_warnings(${name})
endfunction()
