# Thin wrapper over CMake: `make run` starts the editor, `make test` runs every test.
BUILD ?= build
JOBS ?= 2

.PHONY: deps configure build run test bench fuzz asan asan-gui tsan-gui clean

deps:
	@scripts/install-deps.sh

configure: deps
	@test -f $(BUILD)/build.ninja || cmake --preset default

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/app/ravok

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do $$b --benchmark_min_time=0.05; done

asan: deps
	@test -f build-asan/build.ninja || cmake --preset asan
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ctest --output-on-failure -j$(JOBS)

# The editor's GUI tests (progress workers and their Cancel among them) under
# AddressSanitizer and UndefinedBehaviorSanitizer; CI runs this after `make test`.
asan-gui: deps
	@test -f build-asan/build.ninja || cmake --preset asan
	cmake --build build-asan -j$(JOBS) --target test_app test_view
	cd build-asan && ctest --output-on-failure -j$(JOBS) -L gui

# The progress worker's GUI tests (the document's steps, Cancel, autosave and
# recovery around them) under ThreadSanitizer; CI runs this after `make asan-gui`.
TSAN_TESTS ?= ^(Document|TrackPaletteDialog)\.
tsan-gui: deps
	@test -f build-tsan/build.ninja || cmake --preset tsan
	cmake --build build-tsan -j$(JOBS) --target test_app
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/app/tsan.supp" \
	  ctest --output-on-failure -j$(JOBS) -L gui -R '$(TSAN_TESTS)'

# Runs each harness for FUZZ_SECONDS on the developer's machine (not in CI).
FUZZ_SECONDS ?= 60
fuzz: deps
	@test -f build-fuzz/build.ninja || cmake --preset fuzz
	cmake --build build-fuzz -j$(JOBS)
	@for f in build-fuzz/fuzz/fuzz_*; do n=$$(basename $$f | sed 's/^fuzz_//'); \
	  mkdir -p build-fuzz/corpus-$$n; \
	  $$f -max_total_time=$(FUZZ_SECONDS) build-fuzz/corpus-$$n fuzz/corpus/$$n || exit 1; done

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
