# The thread-checked build (scripts/tsan): every data race the sanitizer sees fails the run.
# Qt itself is not instrumented; tests/support/tsan.supp names what that makes it misread.
add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
add_link_options(-fsanitize=thread)
