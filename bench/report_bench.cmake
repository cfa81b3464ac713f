# Report text benchmarks: layout, memo expansion, formatters.
survey_add_bench(report_bench SOURCES report_bench.cpp LIBS report Qt6::Gui)
# Band engine: the survey template over a generated SQLite query.
survey_add_bench(engine_bench SOURCES engine_bench.cpp LIBS engine report_db Qt6::Gui)
# PDF export of the survey pages (a plain program; bench/pdf_export_bench.sh runs it).
add_executable(pdf_export_bench pdf_export_bench.cpp)
target_link_libraries(pdf_export_bench PRIVATE engine report_db Qt6::Gui)
target_compile_definitions(pdf_export_bench PRIVATE SURVEY_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# The four script languages on report objects.
survey_add_bench(language_bench SOURCES language_bench.cpp LIBS engine Qt6::Gui)
