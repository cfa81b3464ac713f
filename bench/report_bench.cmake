# Report text benchmarks: layout, memo expansion, formatters.
survey_add_bench(report_bench SOURCES report_bench.cpp LIBS report Qt6::Gui)
