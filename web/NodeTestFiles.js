// The tests under node: the host's folders where the tests look (the working folder, the
// build folder) are the host's own files through NODEFS, everything else, /tmp included, is
// in memory. The file layer checks permission bits for every user, as the tests expect of a
// user who is not root, so an asset made unreadable cannot be read here even when the tests
// run as root. The tests' environment (SDL's drivers) reaches getenv.
Module.preRun = Module.preRun || [];
Module.preRun.push(() => {
  Object.assign(ENV, process.env);
  const cwd = process.cwd();
  FS.mkdirTree(cwd);
  FS.mount(NODEFS, {root: cwd}, cwd);
  FS.chdir(cwd);
});
