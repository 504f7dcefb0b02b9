# Entry points for a fresh Debian 12 machine: `make run` and `make test`.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
SCREENSHOT_DIR ?= screenshots
RUN_DIR ?= run

.PHONY: all deps configure build run test test-fast test-asan fuzz bench screenshots install clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-qlor $(BUILD) $(RUN_DIR)

# The whole suite, then the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer.
test: test-fast test-asan

test-fast: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQLOR_SANITIZE=ON -DQLOR_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) -LE no-asan

# Every libFuzzer target (clang, in build-fuzz) for FUZZ_SECONDS each from its seed corpus in fuzz/corpus;
# a finding fails. Not part of `make test`.
FUZZ_SECONDS ?= 30
fuzz: deps
	FUZZ_BUILD=build-fuzz JOBS=$(JOBS) scripts/run-fuzz $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || exit 1; done

screenshots: build
	@scripts/screenshots $(BUILD) $(SCREENSHOT_DIR)

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
