# make run  - install what is missing, build everything, generate the assets, start the game
# make test - install what is missing, build everything, run every test
# make bench - build everything, run the frame-cost benchmarks and print their table
# make windows - cross-compile the Windows build: build-windows/dist/ and plusrail-windows.zip
BUILD ?= build
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)
# WERROR=ON: every compiler warning fails the build, as in CI
WERROR ?= OFF

.PHONY: all deps configure build run test bench windows clean

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

# The asset generator runs natively; its pictures, sounds and icon go into the Windows folder.
windows: configure
	@scripts/install-deps.sh --windows
	@cmake --build $(BUILD) -j $(JOBS) --target assets
	@$(BUILD)/plusrail-assetgen --icon $(BUILD)/plusrail.ico
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DPLUSRAIL_WERROR=$(WERROR) \
		-DPLUSRAIL_ASSET_DIR=$(abspath $(BUILD))/game -DPLUSRAIL_ICON=$(abspath $(BUILD))/plusrail.ico >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target plusrail plusrail-sim
	@cmake --build $(WINDOWS_BUILD) --target dist

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)
