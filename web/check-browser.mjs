// Plays the page in headless Chromium: serves the built page on the loopback interface, sends
// real key presses and checks from screenshots that the ship turns, moves and fires; then
// plays a game without input to its end and checks that "GAME OVER" was shown and the game
// ended. Prints the frames per second. Usage: node web/check-browser.mjs BUILD_FOLDER
// (playwright-core is found in the folder VOIDROCKS_WEB_CACHE names).
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {mkdtempSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {extname, join, resolve} from 'node:path';

const require = createRequire(join(process.env.VOIDROCKS_WEB_CACHE ?? '.', 'node_modules') + '/');
const {chromium} = require('playwright-core');

const kChromium = '/usr/bin/chromium';
// A 16:9 window: the canvas fills it without bars, at two thirds of the game's 1920 x 1080.
const kViewport = {width: 1280, height: 720};
const kCanvas = {width: 1920, height: 1080};
const kBackground = [10, 18, 40];
// A pixel further than this from the background (summed over red, green, blue) is drawn on.
const kDrawnDistance = 60;
// The ship starts at the canvas centre; the opening texts stand from y 540 down, so the ship
// is looked at above that line.
const kShipBox = {x: 900, y: 440, w: 120, h: 98};
// The bullet: a 6 x 6 pellet of its 16 x 16 sprite, drawn four times its size (24 x 24 canvas
// pixels); a blob this size, or cut by the edge of the box, is taken for one.
const kBulletSide = {least: 8, most: 36};
// How far off the ship's line of flight a bullet's centre may lie
// (canvas pixels), and how much more per pixel along it: the ship's centre is measured from its
// blob, whose shape changes as it turns, so the heading is known to some degrees only (a cone
// of about 17 degrees either side).
const kOffLine = 30;
const kOffLineSlope = 0.3;
// Where "GAME OVER" stands (its left part, where no phase announcement reaches).
const kGameOverBox = {x: 800, y: 545, w: 45, h: 45};
// The game's own numbers: GAME OVER stays this many frames, then the game ends.
const kGameOverFrames = 1000;
// Every wait is for a condition; this bounds how long a condition may take.
const kPatienceMs = 10 * 60 * 1000;
const kPollMs = 50;

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
               '.data': 'application/octet-stream'};

function fail(message) {
    throw new Error(message);
}

async function serve(folder) {
    const server = createServer(async (request, response) => {
        const path = new URL(request.url, 'http://127.0.0.1').pathname;
        const file = path === '/' ? 'index.html' : path.slice(1);
        if (file.includes('..') || !(extname(file) in types)) {
            response.writeHead(404).end();
            return;
        }
        try {
            const body = await readFile(join(folder, file));
            response.writeHead(200, {'Content-Type': types[extname(file)]}).end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise(done => server.listen(0, '127.0.0.1', done));
    return server;
}

async function until(what, condition) {
    const start = Date.now();
    for (;;) {
        const value = await condition();
        if (value) {
            return value;
        }
        if (Date.now() - start > kPatienceMs) {
            fail(`waited too long for ${what}`);
        }
        await new Promise(wake => setTimeout(wake, kPollMs));
    }
}

const framesRun = page => page.evaluate(() => Module.voidrocksFrames ?? 0);
const untilFrame = (page, frame) => until(`frame ${frame}`, async () => (await framesRun(page)) >= frame);
const ended = page => page.evaluate(() => document.body.dataset.ended ?? null);

// The screenshot's pixels as RGBA rows, decoded by a page of the same browser.
async function shot(page, decoder) {
    const png = (await page.screenshot()).toString('base64');
    const image = await decoder.evaluate(async data => {
        const image = new Image();
        image.src = 'data:image/png;base64,' + data;
        await image.decode();
        const canvas = new OffscreenCanvas(image.width, image.height);
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        const pixels = context.getImageData(0, 0, image.width, image.height);
        // As base64: a plain array of millions of numbers is slow to hand back.
        let text = '';
        for (let at = 0; at < pixels.data.length; at += 0x8000) {
            text += String.fromCharCode(...pixels.data.subarray(at, at + 0x8000));
        }
        return {width: pixels.width, height: pixels.height, data: btoa(text)};
    }, png);
    return {...image, data: Buffer.from(image.data, 'base64')};
}

// The drawn-on pixels of a canvas box, in canvas coordinates.
function drawn(image, box) {
    const scale = Math.min(image.width / kCanvas.width, image.height / kCanvas.height);
    const left = (image.width - kCanvas.width * scale) / 2;
    const top = (image.height - kCanvas.height * scale) / 2;
    const points = [];
    for (let y = box.y; y < box.y + box.h; y += 1 / scale) {
        for (let x = box.x; x < box.x + box.w; x += 1 / scale) {
            const px = Math.round(left + x * scale);
            const py = Math.round(top + y * scale);
            const at = (py * image.width + px) * 4;
            const distance = Math.abs(image.data[at] - kBackground[0]) +
                             Math.abs(image.data[at + 1] - kBackground[1]) +
                             Math.abs(image.data[at + 2] - kBackground[2]);
            if (distance > kDrawnDistance) {
                points.push({x, y, white: image.data[at] > 200 && image.data[at + 1] > 200 &&
                                              image.data[at + 2] > 200});
            }
        }
    }
    return points;
}

// The drawn-on blobs of a canvas box (4-connected in the screenshot's own pixels): for each,
// its centre, width and height in canvas coordinates and its count of screenshot pixels.
function blobs(image, box) {
    const scale = Math.min(image.width / kCanvas.width, image.height / kCanvas.height);
    const left = (image.width - kCanvas.width * scale) / 2;
    const top = (image.height - kCanvas.height * scale) / 2;
    const x0 = Math.ceil(left + box.x * scale), x1 = Math.floor(left + (box.x + box.w) * scale);
    const y0 = Math.ceil(top + box.y * scale), y1 = Math.floor(top + (box.y + box.h) * scale);
    const w = x1 - x0, h = y1 - y0;
    const on = new Uint8Array(w * h);
    for (let y = 0; y < h; ++y) {
        for (let x = 0; x < w; ++x) {
            const at = ((y0 + y) * image.width + x0 + x) * 4;
            on[y * w + x] = Math.abs(image.data[at] - kBackground[0]) +
                            Math.abs(image.data[at + 1] - kBackground[1]) +
                            Math.abs(image.data[at + 2] - kBackground[2]) > kDrawnDistance;
        }
    }
    const found = [];
    for (let start = 0; start < on.length; ++start) {
        if (!on[start]) continue;
        on[start] = 0;
        const stack = [start];
        let count = 0, minX = w, maxX = 0, minY = h, maxY = 0;
        while (stack.length) {
            const i = stack.pop();
            const x = i % w, y = (i - x) / w;
            ++count;
            minX = Math.min(minX, x); maxX = Math.max(maxX, x);
            minY = Math.min(minY, y); maxY = Math.max(maxY, y);
            for (const [nx, ny] of [[x - 1, y], [x + 1, y], [x, y - 1], [x, y + 1]]) {
                if (nx >= 0 && ny >= 0 && nx < w && ny < h && on[ny * w + nx]) {
                    on[ny * w + nx] = 0;
                    stack.push(ny * w + nx);
                }
            }
        }
        const canvasX = x => (x0 + x - left) / scale, canvasY = y => (y0 + y - top) / scale;
        found.push({x: (canvasX(minX) + canvasX(maxX + 1)) / 2, y: (canvasY(minY) + canvasY(maxY + 1)) / 2,
                    w: (maxX + 1 - minX) / scale, h: (maxY + 1 - minY) / scale, count});
    }
    return found;
}

function centre(points) {
    const sum = points.reduce((s, p) => ({x: s.x + p.x, y: s.y + p.y}), {x: 0, y: 0});
    return {x: sum.x / points.length, y: sum.y / points.length};
}

// Holds the key for at least `frames` frames of the game.
async function hold(page, key, frames) {
    const from = await framesRun(page);
    await page.keyboard.down(key);
    await untilFrame(page, from + frames);
    await page.keyboard.up(key);
}

async function open(browser, url) {
    const say = what => process.env.VOIDROCKS_CHECK_TRACE && console.log(what);
    const page = await browser.newPage({viewport: kViewport});
    const errors = [];
    page.on('pageerror', error => errors.push(String(error)));
    await page.goto(url);
    say("loaded");
    await untilFrame(page, 2);
    say("running");
    await page.locator('canvas').click();
    return {page, errors};
}

async function main() {
    const folder = resolve(process.argv[2] ?? 'build-web');
    const server = await serve(folder);
    const url = `http://127.0.0.1:${server.address().port}/`;
    const profile = mkdtempSync(join(tmpdir(), 'voidrocks-chromium-'));
    const browser = await chromium.launchPersistentContext(profile, {
        executablePath: kChromium,
        headless: true,
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        viewport: kViewport,
    });
    try {
        // A blank page of its own decodes the screenshots.
        const decoder = await browser.newPage();

        // Turns, moves and fires, early, before any voidrock comes near.
        console.log(`playing ${url}`);
        const {page, errors} = await open(browser, url);
        const still = drawn(await shot(page, decoder), kShipBox);
        if (still.length === 0) fail('no ship at the centre of the canvas');
        await hold(page, 'ArrowLeft', 15);
        const turned = drawn(await shot(page, decoder), kShipBox);
        const moved = centre(turned);
        const before = centre(still);
        const changed = turned.length !== still.length ||
                        turned.some((p, i) => p.x !== still[i].x || p.y !== still[i].y);
        if (!changed) fail('the ship did not turn with the left arrow key');
        if (Math.hypot(moved.x - before.x, moved.y - before.y) > 12) {
            fail('the ship moved instead of only turning');
        }
        console.log(`turned: the ship's pixels changed around (${before.x.toFixed(0)}, ${before.y.toFixed(0)})`);
        await hold(page, 'ArrowUp', 30);
        const flying = drawn(await shot(page, decoder), {x: 660, y: 140, w: 600, h: 398});
        const away = centre(flying);
        if (!(Math.hypot(away.x - before.x, away.y - before.y) > 30)) {
            fail(`the ship did not move with the up arrow key (centre ${away.x}, ${away.y})`);
        }
        console.log(`moved: the ship's centre went from (${before.x.toFixed(0)}, ${before.y.toFixed(0)}) to (${away.x.toFixed(0)}, ${away.y.toFixed(0)})`);
        // The ship turned where it stood, then flew along its nose from rest and keeps drifting
        // that way, so the way it went from the centre is its heading; a bullet leaves the
        // nose along it.
        const whole = {x: 0, y: 0, w: kCanvas.width, h: kCanvas.height};
        const largest = found => found.reduce((a, b) => (b.count > a.count ? b : a), found[0]);
        const beforeFire = blobs(await shot(page, decoder), whole);
        const ship = largest(beforeFire);
        const heading = {x: ship.x - before.x, y: ship.y - before.y};
        const length = Math.hypot(heading.x, heading.y);
        if (!(length > 30)) fail('the ship did not drift on after the up arrow key');
        heading.x /= length;
        heading.y /= length;
        const bulletSized = b => b.w >= kBulletSide.least && b.w <= kBulletSide.most &&
                                 b.h >= kBulletSide.least && b.h <= kBulletSide.most;
        // New: no blob of the shot before lies where it does (the texts' letters stay put).
        const isNew = b => !beforeFire.some(o => Math.hypot(o.x - b.x, o.y - b.y) < kOffLine / 4);
        await hold(page, ' ', 2);
        const afterFire = blobs(await shot(page, decoder), whole);
        const ahead = afterFire.filter(bulletSized).filter(isNew).filter(b => {
            const dx = b.x - ship.x, dy = b.y - ship.y;
            const along = dx * heading.x + dy * heading.y;
            const off = Math.abs(dx * heading.y - dy * heading.x);
            return along > 0 && off <= kOffLine + kOffLineSlope * along;
        });
        if (ahead.length === 0) {
            const seen = afterFire.filter(isNew).map(b => `${b.w.toFixed(0)}x${b.h.toFixed(0)} at (${b.x.toFixed(0)}, ${b.y.toFixed(0)})`);
            fail(`no bullet-sized blob ahead of the ship's nose after the space bar (ship at ` +
                 `(${ship.x.toFixed(0)}, ${ship.y.toFixed(0)}), heading (${heading.x.toFixed(2)}, ` +
                 `${heading.y.toFixed(2)}); new blobs: ${seen.join(', ') || 'none'})`);
        }
        const bullet = ahead[0];
        console.log(`fired: a ${bullet.w.toFixed(0)} x ${bullet.h.toFixed(0)} blob at (${bullet.x.toFixed(0)}, ` +
                    `${bullet.y.toFixed(0)}), ${Math.hypot(bullet.x - ship.x, bullet.y - ship.y).toFixed(0)} ` +
                    `pixels ahead of the ship at (${ship.x.toFixed(0)}, ${ship.y.toFixed(0)}) along its heading ` +
                    `(${heading.x.toFixed(2)}, ${heading.y.toFixed(2)})`);
        if (errors.length) fail(`page errors: ${errors.join('; ')}`);
        await page.close();

        // A whole game without input: GAME OVER, then the end 1000 frames later.
        console.log('a game without input, to its end');
        const game = await open(browser, url);
        const startFrame = await framesRun(game.page);
        const startMs = Date.now();
        let gameOverSeen = 0;
        await until('the end of the game', async () => {
            if (await ended(game.page)) return true;
            const frame = await framesRun(game.page);
            // The opening texts share the line until frame 600; past them, white text at the
            // left of that line is GAME OVER.
            if (gameOverSeen === 0 && frame > 650) {
                const image = await shot(game.page, decoder);
                if (drawn(image, kGameOverBox).filter(p => p.white).length > 20) {
                    gameOverSeen = {before: frame, after: await framesRun(game.page)};
                }
            }
            return false;
        });
        const seconds = (Date.now() - startMs) / 1000;
        const endFrame = Number(await ended(game.page));
        const status = await game.page.locator('#status').textContent();
        console.log(`frames per second: ${((endFrame - startFrame) / seconds).toFixed(1)}`);
        if (gameOverSeen === 0) fail('GAME OVER was never seen');
        console.log(`GAME OVER seen in a screenshot taken between frames ${gameOverSeen.before} ` +
                    `and ${gameOverSeen.after}; the game ended at frame ${endFrame}`);
        // It went up at or before the screenshot, and the game ends 1000 frames after that.
        if (!(endFrame - gameOverSeen.after <= kGameOverFrames && endFrame >= gameOverSeen.before)) {
            fail(`the game did not end within ${kGameOverFrames} frames of GAME OVER`);
        }
        if (!/game is over/.test(status)) fail(`the page does not say the game is over: "${status}"`);
        if (game.errors.length) fail(`page errors: ${game.errors.join('; ')}`);
        console.log(`the page says: ${status}`);
    } finally {
        await browser.close();
        server.close();
        rmSync(profile, {recursive: true, force: true});
    }
}

main().then(() => console.log('check-browser: passed'), error => {
    console.error(`check-browser: FAILED: ${error.message}`);
    process.exitCode = 1;
});
