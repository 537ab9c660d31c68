# Front door: `make test` and `make run` install what is missing, build and then test or run.
BUILD ?= build
TOOLCHAIN := cmake/mingw-w64-x86_64.cmake
PREFIX := $(abspath $(BUILD))/wineprefix
JOBS ?= 2
SCREEN := -screen 0 1280x1024x24

# What the build and the tests need from Debian; checked one by one so that nothing is
# installed, and no password asked for, when everything is there. The native fuzzers need only
# FUZZ_PACKAGES.
FUZZ_PACKAGES := clang libclang-rt-14-dev
PACKAGES := cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 fonts-wine \
            xvfb xauth x11-apps imagemagick googletest $(FUZZ_PACKAGES)

.PHONY: all deps configure build test run clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    sudo=; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	    echo "Installing:" $$missing; \
	    $$sudo apt-get update && \
	    DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite under one virtual display and one Wine session, after building the native
# fuzzers (without running them) so that they cannot stop building unseen. A test that fails once
# fails the suite.
test: build fuzzers
	xvfb-run -a -s "$(SCREEN)" tools/wine-session $(PREFIX) \
	    ctest --test-dir $(BUILD) --output-on-failure --timeout 300 -j $(JOBS)

# ferrix.exe on your display, with ARGS as its command line: make run ARGS='C:\\Photos D:\\Flat'.
# Without a display, the demonstration below on a virtual one, its screenshots in the build folder.
ARGS ?=

run: build
	@if [ -n "$$DISPLAY" ]; then \
	    tools/wine-run $(PREFIX) $(BUILD)/ferrix.exe $(ARGS); \
	else \
	    echo "No display: working ferrix.exe on a virtual one, as 'make demo' does."; \
	    $(MAKE) --no-print-directory demo SHOTS=$(BUILD)/screenshots; \
	fi

# A sample tree in C:\Ferrix demo of the Wine prefix, ferrix.exe worked on a virtual display as a
# person would, the source and the destination side by side, and screenshots of both dialogs in
# SHOTS (docs/ unless given).
SHOTS ?= docs

.PHONY: demo

demo: build
	xvfb-run -a -s "$(SCREEN)" tools/wine-session $(PREFIX) \
	    tools/wine-run $(PREFIX) $(BUILD)/demo/ferrix_demo.exe $(BUILD)/ferrix.exe 'C:\Ferrix demo' $(SHOTS)

clean:
	rm -rf $(BUILD) dist

# Fuzzing the command-line splitter and the target naming, natively with clang's libFuzzer and
# sanitizers (tests/fuzz/fuzz.mk). `make fuzzers` only builds the two fuzzers, as `make test` does;
# `make fuzz SECONDS=N` also runs each for N seconds on a working corpus in $(BUILD)/native-fuzz,
# which neither `make test` nor CI does. Both install only FUZZ_PACKAGES when run alone.
SECONDS ?= 60
FUZZ := $(MAKE) --no-print-directory -f tests/fuzz/fuzz.mk OUT=$(BUILD)/native-fuzz -j $(JOBS)

.PHONY: fuzzers fuzz

fuzzers:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"
	$(FUZZ) fuzzers

fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"
	$(FUZZ) SECONDS=$(SECONDS) fuzz

# Soak: the randomised run test of tests/reliability over many more seeds than the suite's 1 to 200,
# in one process, at low priority. `make soak SEEDS=N` runs N cases from seed SEED_FROM (1001) on;
# a failing case prints its seed and its tree.
SEEDS ?= 2000
SEED_FROM ?= 1001

.PHONY: soak

soak: build
	nice xvfb-run -a -s "$(SCREEN)" tools/wine-session $(PREFIX) env FERRIX_SEEDS=$(SEED_FROM):$(SEEDS) \
	    tools/wine-run $(PREFIX) $(BUILD)/tests/reliability/reliability_tests.exe \
	    --gtest_filter='Seeds/RandomRunTest.*' --gtest_brief=1

# The performance benchmark (bench/): ferrix.exe end to end, driven through its windows, against
# floor_copy.exe (the same copies with only the platform calls that a run needs, without and with
# the dialogs) and the platform's xcopy, on trees that it generates; neither `make test` nor CI
# runs it. The table goes to the output and, as CSV, to $(BUILD)/bench-results.csv and
# bench-runs.csv. `make bench QUICK=1` takes about a minute and a half; the full run, after
# lookup_bench's timing of the platform's name lookups, 83 minutes on two cores, most of it
# in the floors' flat runs of 20,000 files. RUNS=N sets the runs of each contender (3 quick, 5 full).
QUICK ?=
RUNS ?=

.PHONY: bench

bench: build
	cmake --build $(BUILD) --target copy_bench lookup_bench -j $(JOBS)
	@uptime
	xvfb-run -a -s "$(SCREEN)" tools/wine-session $(PREFIX) sh -c '\
	    $(if $(filter 1,$(QUICK)),,tools/wine-run $(PREFIX) $(BUILD)/bench/lookup_bench.exe &&) \
	    tools/wine-run $(PREFIX) $(BUILD)/bench/copy_bench.exe $(if $(filter 1,$(QUICK)),--quick) $(if $(RUNS),--runs $(RUNS))'
	@uptime

# The download for Windows users, in dist/ (tools/make-dist): ferrix-<version>-win-x64.zip with
# ferrix.exe and a read-me, the debugging information beside it, and SHA256SUMS. Its ferrix.exe is
# the one the suite tests, without debugging information; two runs of one commit in two folders
# give the same bytes.
.PHONY: dist

dist: PACKAGES += zip
dist: configure
	cmake --build $(BUILD) --target ferrix -j $(JOBS)
	tools/make-dist $(BUILD)/ferrix.exe dist
