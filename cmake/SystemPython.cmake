# The Debian interpreter (not one that a PATH may put first), with the modules that
# check our workbooks and write the workbooks we read: openpyxl and xlwt. Missing
# modules are a setup fault (scripts/install-deps.sh installs them), never a
# reason to skip those tests.
if(NOT ZELTRANO_SYSTEM_PYTHON)
  find_program(ZELTRANO_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
endif()
execute_process(COMMAND ${ZELTRANO_SYSTEM_PYTHON} -c "import openpyxl, xlwt"
  RESULT_VARIABLE _zeltrano_python_rc OUTPUT_QUIET ERROR_QUIET)
if(NOT _zeltrano_python_rc EQUAL 0)
  message(FATAL_ERROR "${ZELTRANO_SYSTEM_PYTHON} lacks openpyxl or xlwt: run scripts/install-deps.sh")
endif()
