# Warnings for our own targets only; the test build turns them into errors.
# Only the developers' checked builds ask for them (scripts/test turns it on, and the
# sanitizer build is one of those); a user's or packager's build never fails on a warning.
option(ZELTRANO_WERROR "Treat warnings in our own code as errors" ${ZELTRANO_SANITIZE})
# A local that hides another name has hidden a fault before (-Wshadow).
function(zeltrano_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wno-unused-parameter)
  if(ZELTRANO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
