# The two commands a newcomer types: `make run` and `make test`. Each installs what is
# missing (Debian packages, as root), configures, builds and runs.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps configure build run test test-sanitize bench clean

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
	[ -d $(BUILD)/run/Data ] || { rm -rf $(BUILD)/run/.pack && \
	  $(BUILD)/orchard datagen $(BUILD)/run/.pack && mv $(BUILD)/run/.pack/Data $(BUILD)/run/Data && rmdir $(BUILD)/run/.pack; }
	cd $(BUILD)/run && ../quiet-orchard

# Every test, under a virtual X server (windows, dialogs, screenshots).
test: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# tools over the whole timeline. CI runs it after `make test`.
SANITIZE_BUILD ?= build-sanitize
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DORCHARD_SANITIZE=ON -DORCHARD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	$(XVFB) scripts/sanitize-check $(SANITIZE_BUILD)

bench: build
	scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
