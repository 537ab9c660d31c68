# Native libFuzzer builds of the command-line splitter and of the target naming, under
# AddressSanitizer and UndefinedBehaviorSanitizer, from the product's own sources. Run from the
# repository's top folder (the top-level Makefile's `fuzz` and `fuzzers` targets do):
#   make -f tests/fuzz/fuzz.mk OUT=FOLDER fuzzers            builds both fuzzers, runs neither
#   make -f tests/fuzz/fuzz.mk OUT=FOLDER SECONDS=N fuzz     runs each fuzzer for N seconds
#   make -f tests/fuzz/fuzz.mk OUT=FOLDER trim               makes the kept corpus a small set that
#                                                            covers the code the kept and found inputs cover
# Each fuzzer reads the kept corpus as seeds and writes what it finds to a working corpus under
# OUT, never to the kept one; crashing inputs land in OUT too.
OUT ?= build/native-fuzz
SECONDS ?= 60
CXX := clang++
CXXFLAGS := -std=c++20 -g -O1 -Wall -Wextra -Werror -I. \
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
KEPT := tests/fuzz/corpus
TARGETS := command_line naming
CHECK_command_line := CheckCommandLineProperties
CHECK_naming := CheckNamingProperties
# The product sources that the checks reach, and the checks themselves; FuzzTarget.cpp is built
# once for each fuzzer.
SOURCES := tests/fuzz/FuzzProperties.cpp app/CommandLine.cpp engine/NameFold.cpp engine/NameMatch.cpp \
           engine/NamingRule.cpp engine/PathText.cpp
OBJECTS := $(SOURCES:%.cpp=$(OUT)/obj/%.o)
ENTRIES := $(TARGETS:%=$(OUT)/obj/FuzzTarget_%.o)
FUZZERS := $(TARGETS:%=$(OUT)/fuzz_%)

.PHONY: fuzzers fuzz trim

fuzzers: $(FUZZERS)

# -MMD: each object's .d lists the headers it was built from, so that a changed one rebuilds it.
$(OBJECTS): $(OUT)/obj/%.o: %.cpp
	@mkdir -p $(@D)
	$(CXX) $(CXXFLAGS) -MMD -MP -c $< -o $@

$(ENTRIES): $(OUT)/obj/FuzzTarget_%.o: tests/fuzz/FuzzTarget.cpp
	@mkdir -p $(@D)
	$(CXX) $(CXXFLAGS) -MMD -MP -DFUZZ_CHECK=$(CHECK_$*) -c $< -o $@

$(FUZZERS): $(OUT)/fuzz_%: $(OUT)/obj/FuzzTarget_%.o $(OBJECTS)
	$(CXX) $(CXXFLAGS) $^ -o $@

-include $(OBJECTS:.o=.d) $(ENTRIES:.o=.d)

# One after the other: the machines are small and shared.
fuzz: $(FUZZERS)
	@for target in $(TARGETS); do \
	    mkdir -p $(OUT)/corpus/$$target $(KEPT)/$$target && \
	    nice $(OUT)/fuzz_$$target -max_total_time=$(SECONDS) -print_final_stats=1 \
	        -artifact_prefix=$(OUT)/$$target- $(OUT)/corpus/$$target $(KEPT)/$$target || exit 1; \
	done

# Edges only: with hit counters every loop count would want an input of its own.
trim: $(FUZZERS)
	@for target in $(TARGETS); do \
	    rm -rf $(OUT)/trimmed/$$target && mkdir -p $(OUT)/trimmed/$$target $(OUT)/corpus/$$target && \
	    $(OUT)/fuzz_$$target -merge=1 -use_counters=0 $(OUT)/trimmed/$$target $(KEPT)/$$target $(OUT)/corpus/$$target && \
	    rm -rf $(KEPT)/$$target && mv $(OUT)/trimmed/$$target $(KEPT)/$$target || exit 1; \
	done
