# Script engine benchmarks, side by side with Lua 5.4 when its development
# package is installed.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(LUA54 QUIET lua5.4)
endif()
survey_add_bench(script_bench SOURCES script_bench.cpp LIBS script)
if(LUA54_FOUND)
  target_include_directories(script_bench PRIVATE ${LUA54_INCLUDE_DIRS})
  target_link_libraries(script_bench PRIVATE ${LUA54_LIBRARIES})
  target_compile_definitions(script_bench PRIVATE SURVEY_HAVE_LUA=1)
endif()
