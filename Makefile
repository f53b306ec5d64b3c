# The two commands of the README: `make run` and `make test`. Everything else is a helper.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 10
GAME_DIR   := $(BUILD)/game

.PHONY: run test deps build asan-build test-release test-asan battle-digest fuzz-smoke format-check format assets bench sweep clean

run: deps build assets
	cd $(GAME_DIR) && ../quarnex

test: deps format-check build test-release asan-build test-asan battle-digest fuzz-smoke

deps:
	@scripts/install-deps

build:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

assets: build
	@mkdir -p $(GAME_DIR)
	@if [ -x $(BUILD)/qx-mkassets ]; then $(BUILD)/qx-mkassets $(GAME_DIR); \
	else echo "no asset maker built yet: $(GAME_DIR) has no assets"; fi

# Tests run under the clang build too, with AddressSanitizer, UndefinedBehaviorSanitizer and the
# libFuzzer targets; one build serves both.
asan-build:
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DQX_SANITIZE=ON -DQX_FUZZ=ON -DQX_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-release:
	scripts/run-tests $(BUILD)

test-asan:
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		scripts/run-tests $(ASAN_BUILD)

battle-digest:
	ASAN_OPTIONS=detect_leaks=1 scripts/battle-digest $(BUILD) $(ASAN_BUILD)

fuzz-smoke:
	scripts/fuzz-smoke $(ASAN_BUILD)/fuzz fuzz/corpus $(FUZZ_SECONDS)

format-check:
	@scripts/check-format

format:
	@git ls-files '*.cpp' '*.h' | xargs -r clang-format -i

bench: 
	@scripts/install-deps --bench
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_WERROR=ON -DQX_BENCH_PEERS=ON
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run-benchmarks $(BUILD)

# The level sweep of the computer players (long; not part of `make test`): see scripts/sweep.
sweep: build
	scripts/sweep $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
