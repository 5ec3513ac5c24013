# The two set-up commands for a fresh machine are `make demo` and `make test`.
BUILD    ?= build
JOBS     ?= $(shell nproc)
SANITIZE ?= 0
TSAN     ?= 0
CMAKE_TYPE ?= RelWithDebInfo

ifeq ($(SANITIZE),1)
  BUILD := build-asan
  CMAKE_FLAGS += -DQUENBAR_SANITIZE=ON -DQUENBAR_BENCH=OFF
endif
ifeq ($(TSAN),1)
  BUILD := build-tsan
  CMAKE_FLAGS += -DQUENBAR_TSAN=ON -DQUENBAR_BENCH=OFF
endif

.PHONY: all deps configure build test demo bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

configure:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(CMAKE_TYPE) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Window tests need an X server: the whole suite runs under a private Xvfb.
test: deps build
	@bash scripts/run-tests.sh $(BUILD)

demo: deps build
	@bash scripts/demo.sh $(BUILD)

bench: deps build
	@bash scripts/run-benchmarks.sh $(BUILD)

fuzz: deps
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DQUENBAR_FUZZ=ON -DQUENBAR_TESTS=OFF > /dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@echo "fuzzers are in build-fuzz/fuzz/; run one with: build-fuzz/fuzz/<dir>/<name> -max_total_time=300"

clean:
	rm -rf build build-asan build-tsan build-fuzz
