# The two commands a newcomer types: `make run` and `make test`. Each installs what is
# missing (Debian packages, as root), configures, builds and runs.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The demo, in a folder of the build tree that holds its data pack.
run: build
	mkdir -p $(BUILD)/run
	cd $(BUILD)/run && ../quiet-orchard

# Every test, under a virtual X server (windows, dialogs, screenshots).
test: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD)
