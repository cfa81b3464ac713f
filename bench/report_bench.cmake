# Report text benchmarks: layout, memo expansion, formatters.
survey_add_bench(report_bench SOURCES report_bench.cpp LIBS report Qt6::Gui)
# Band engine: the survey template over a generated SQLite query.
survey_add_bench(engine_bench SOURCES engine_bench.cpp LIBS engine report_db Qt6::Gui)
