# Thin wrapper over CMake: `make run` starts the editor, `make test` runs every test.
BUILD ?= build
JOBS ?= 2

.PHONY: deps configure build run test test-windows bench fuzz asan asan-gui tsan-gui clean

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

# The core and its tests cross-built for Windows (MinGW-w64, static) and run
# under Wine. The editor and ravok-cli need Qt for Windows and are not built.
WINDOWS_BUILD ?= build-windows
test-windows:
	@scripts/install-deps.sh --windows
	@test -f $(WINDOWS_BUILD)/build.ninja || cmake --preset windows
	cmake --build $(WINDOWS_BUILD) -j$(JOBS)
	scripts/test-windows.sh $(WINDOWS_BUILD) $(JOBS)

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

# Runs every harness for FUZZ_SECONDS on the developer's machine (not in CI),
# each to the end; fails afterwards when any harness found something. New
# inputs go to build-fuzz/corpus-NAME, findings to build-fuzz/findings-NAME.
FUZZ_SECONDS ?= 60
fuzz: deps
	@test -f build-fuzz/build.ninja || cmake --preset fuzz
	cmake --build build-fuzz -j$(JOBS)
	@failed=""; for f in build-fuzz/fuzz/fuzz_*; do n=$$(basename $$f | sed 's/^fuzz_//'); \
	  mkdir -p build-fuzz/corpus-$$n build-fuzz/findings-$$n fuzz/corpus/$$n; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=build-fuzz/findings-$$n/ \
	    build-fuzz/corpus-$$n fuzz/corpus/$$n > build-fuzz/fuzz-$$n.log 2>&1 || failed="$$failed $$n"; \
	  echo "$$n: $$(grep -E '^#[0-9]+' build-fuzz/fuzz-$$n.log | tail -1)"; done; \
	  if [ -n "$$failed" ]; then echo "fuzz findings in:$$failed (see build-fuzz/fuzz-NAME.log)"; exit 1; fi

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz $(WINDOWS_BUILD)
