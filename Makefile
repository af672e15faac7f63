# Front door of the project: every target installs what is missing, then
# configures and builds incrementally.
#   make run        build and show the bundled example
#   make test       build and run every test
#   make test-asan  the same under AddressSanitizer + UndefinedBehaviorSanitizer
#   make bench      build and run the benchmarks
#   make fuzz       build the libFuzzer programs (clang) and run each one for
#                   FUZZ_SECONDS seconds (FUZZ_TARGETS="xml vrt" for some only)

JOBS      ?= $(shell nproc)
GENERATOR := -G Ninja
EXAMPLE   ?= examples/holiday.vrn
FUZZ_SECONDS ?= 180
# A test that fails is run once more: on a loaded machine the virtual X
# server now and then leaves xdotool waiting (the real-display tests then
# fail by themselves within seconds); a fault fails twice.
CTEST_RETRY ?= --repeat until-pass:2
FUZZ_TARGETS ?=

.PHONY: all deps build run test test-asan bench fuzz clean

all: build

deps:
	@tools/install-deps

build: deps
	@cmake -S . -B build $(GENERATOR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build -j $(JOBS)

test: build
	@cd build && ctest -j $(JOBS) --output-on-failure $(CTEST_RETRY)

test-asan: deps
	@cmake -S . -B build-asan $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DVT_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest -j $(JOBS) --output-on-failure $(CTEST_RETRY)

bench: deps
	@cmake -S . -B build-bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DVT_TESTS=OFF -DVT_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/benchmarks/*; do [ -x "$$b" ] && { echo "== $$b"; "$$b" || exit 1; }; done; true

fuzz: deps
	@cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVT_FUZZ=ON -DVT_TESTS=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@tests/fuzz/run build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

run: build
	@tools/run-example build $(EXAMPLE)

clean:
	rm -rf build build-asan build-bench build-fuzz
