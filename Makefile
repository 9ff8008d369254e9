.PHONY: run test test-locales test-sanitize fuzz bench build deb format
run:
	scripts/run
test:
	scripts/test
test-locales:
	scripts/test-locales
test-sanitize:
	scripts/test-sanitize
fuzz:
	scripts/fuzz
bench:
	scripts/bench
build:
	scripts/build
deb:
	scripts/deb
format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
