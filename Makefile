# make run  - install what is missing, build everything, generate the assets, start the game
# make test - install what is missing, build everything, run every test
BUILD ?= build
JOBS ?= $(shell nproc)
# WERROR=ON: every compiler warning fails the build, as in CI
WERROR ?= OFF

.PHONY: all deps configure build run test clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUSRAIL_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
