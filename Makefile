.PHONY: run test test-sanitize fuzz bench build format
run:
	scripts/run
test:
	scripts/test
test-sanitize:
	scripts/test-sanitize
fuzz:
	scripts/fuzz
bench:
	scripts/bench
build:
	scripts/build
format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
