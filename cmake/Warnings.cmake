# Warnings every target of the suite is built with; kept clean. scripts/build makes them errors
# (VKT_WERROR, on unless the environment sets VKT_WERROR=OFF), so a new warning fails CI's build.
option(VKT_WERROR "Treat the suite's warnings as errors" OFF)
add_library(vkt_warnings INTERFACE)
target_compile_options(vkt_warnings INTERFACE
  -Wall -Wextra -Wnon-virtual-dtor -Woverloaded-virtual -Wno-unused-parameter
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
  $<$<BOOL:${VKT_WERROR}>:-Werror>)
