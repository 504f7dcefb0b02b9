# Entry points for a fresh Debian 12 machine: `make run` and `make test`.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
# CI builds treat warnings as errors.
WERROR ?= $(if $(CI),ON,OFF)
SCREENSHOT_DIR ?= screenshots
RUN_DIR ?= run
DEB_BUILD ?= build-deb

.PHONY: all deps configure build run test test-fast asan-build test-asan test-tsan format format-check fuzz bench screenshots install deb clean

all: build

deps:
	@scripts/install-deps

# Benchmarks are built by `make bench` alone, never in a tree that only runs the tests.
BENCH ?= OFF
# CI builds keep line tables only (backtraces still name files and lines); full debug information
# is for the developer's debugger and costs a quarter of the compile time.
DEBUG_INFO ?= $(if $(CI),-g1,-g)

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 $(DEBUG_INFO) -DNDEBUG" \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $(DEBUG_INFO) -DNDEBUG" -DQLOR_WERROR=$(WERROR) -DQLOR_BUILD_BENCH=$(BENCH)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-qlor $(BUILD) $(RUN_DIR)

# The sources' formatting, the whole suite (gcc), the whole suite again under AddressSanitizer +
# UndefinedBehaviorSanitizer in the clang tree that also builds the fuzz targets and replays their
# corpora, and the audio engine's threads and the export worker under ThreadSanitizer.
# Once the program is built, its suite runs while the two sanitized trees build: most of the
# suite waits on sound played in real time, so the compilers use the cores meanwhile. Each
# part's output is printed whole when it ends.
test: format-check build
	$(MAKE) --no-print-directory -j3 --output-sync=target test-fast test-asan test-tsan

test-fast: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# One clang tree for AddressSanitizer + UndefinedBehaviorSanitizer and the libFuzzer targets: the
# tests and the corpus replays run there, and `make fuzz` fuzzes with the same binaries. Line
# tables are enough for the sanitizers' reports and keep the tree quick to build.
asan-build: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_C_FLAGS_DEBUG="-O1 -gline-tables-only" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
		-DQLOR_SANITIZE=ON -DQLOR_FUZZ=ON -DQLOR_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-asan: asan-build
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) -LE no-asan

# ThreadSanitizer where the program synchronises threads itself: the audio engine's threads (mixer,
# command queue, notifier, noise decoding) and the export worker. Only their test programs are
# built. Reports from inside libraries built without ThreadSanitizer are listed, each with its
# reason, in the suppressions (tests that fork a child keep going in it: die_after_fork=0).
TSAN_TARGETS = test_audio test_audio_device test_shell_exercises_page_test test_export_session
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DQLOR_TSAN=ON -DQLOR_BUILD_BENCH=OFF -DQLOR_WERROR=$(WERROR)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	cd $(TSAN_BUILD) && QT_QPA_PLATFORM=offscreen \
		TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 suppressions=$(CURDIR)/scripts/tsan.supp" \
		ctest --output-on-failure -j $(JOBS) -L '^tsan$$'

FORMATTED = $(shell git ls-files '*.cpp' '*.h')

format:
	clang-format -i $(FORMATTED)

format-check: deps
	@echo "clang-format --dry-run --Werror (every C++ source)"
	@clang-format --dry-run --Werror $(FORMATTED)

# Every libFuzzer target of the clang tree for FUZZ_SECONDS each (two at a time on two cores) from
# its seed corpus in fuzz/corpus;
# a finding fails. Not part of `make test`, which replays the corpora.
FUZZ_SECONDS ?= 5
fuzz: asan-build
	FUZZ_BUILD=$(ASAN_BUILD) scripts/run-fuzz $(FUZZ_SECONDS)

bench:
	$(MAKE) build BENCH=ON
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || exit 1; done

screenshots: build
	@scripts/screenshots $(BUILD) $(SCREENSHOT_DIR)

install: build
	cmake --install $(BUILD)

# The Debian package qlor_<version>_<arch>.deb in $(DEB_BUILD), built under /usr without the tests,
# then checked by lintian. Not part of `make test`.
# Compiled with Debian's hardening flags (fortified functions, read-only relocations, bind now).
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
deb: deps
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DQLOR_BUILD_BENCH=OFF \
		-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
		-DCMAKE_C_FLAGS="$$($(DEB_FLAGS) CFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
		-DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CXXFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build $(DEB_BUILD) -j $(JOBS) --target qlor_package_files
	rm -f $(DEB_BUILD)/qlor_*.deb
	cd $(DEB_BUILD) && cpack -G DEB
	lintian --info $(DEB_BUILD)/qlor_*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(DEB_BUILD)
