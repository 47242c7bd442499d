# zxclient asks the example service (registered as "example") what a page
# would, writes the reply bytes to standard output and a failure's code to
# standard error. $tree is the build tree, e.g. build/win64.
scripts/wine-run "$tree/bin/zxclient.exe" http://localhost/zev-cgi-bin/example/hello '{"a":1}'
echo " (exit status $?)"
scripts/wine-run "$tree/bin/zxclient.exe" --pipe zx-nobody http://localhost/zev-cgi-bin/example/hello '{}'
echo "(exit status $?)"
