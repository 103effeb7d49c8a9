# Warnings for our own targets only; the test build turns them into errors.
# Only the developers' checked builds ask for them (scripts/test turns it on, and the
# sanitizer build is one of those); a user's or packager's build never fails on a warning.
option(ZELTRANO_WERROR "Treat warnings in our own code as errors" ${ZELTRANO_SANITIZE})
function(zeltrano_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(ZELTRANO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A library made of every source in one folder (globbed so that new files need no list edit).
function(zeltrano_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  # A folder that has no source yet still forms a library that others can link.
  set(_empty ${CMAKE_BINARY_DIR}/zeltrano_empty.cpp)
  if(NOT EXISTS ${_empty})
    file(WRITE ${_empty} "// placeholder for a library without sources\n")
  endif()
  add_library(${name} STATIC ${_src} ${_empty})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  zeltrano_warnings(${name})
endfunction()
