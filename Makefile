# make run  - install what is missing, build everything, generate the assets, start the game
# make test - install what is missing, build everything, run every test
# make bench - build everything, run the frame-cost benchmarks and print their table
BUILD ?= build
JOBS ?= $(shell nproc)
# WERROR=ON: every compiler warning fails the build, as in CI
WERROR ?= OFF

.PHONY: all deps configure build run test bench clean

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

# The frame costs as ratios to one screen copy, each the median of several runs
bench: build
	@scripts/bench-table.sh $(BUILD)

clean:
	rm -rf $(BUILD)
