# RUX Editor — set up, build, run and test on a Debian 12 machine.
BUILD      ?= build
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc)
EXAMPLE    ?= examples/conveyor_line.rux
# Release, as packagers build it: the tests then check the code that ships. RelWithDebInfo for gdb.
BUILD_TYPE ?= Release

# Debian packages the build and the tests need.
PACKAGES := build-essential cmake ninja-build g++ clang libclang-rt-14-dev \
            libgtest-dev libgmock-dev googletest libbenchmark-dev \
            libpugixml-dev nlohmann-json3-dev python3 python3-jsonschema \
            qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools libqt6svg6 libgl-dev \
            fonts-liberation xvfb xauth xdotool xclip x11-utils imagemagick lua5.4

.PHONY: all deps configure build test run bench clean

all: build

# Install what is missing, when we may (root); otherwise say what is missing.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	  else \
	    echo "Missing Debian packages:$$missing (run 'sudo make deps')"; exit 1; \
	  fi; \
	fi

configure: deps
	@test -f $(BUILD)/build.ninja || test -f $(BUILD)/Makefile || \
	  cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	$(BUILD)/bin/ruxedit $(EXAMPLE)

bench: deps
	bench/run

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz $(BUILD)-bench
