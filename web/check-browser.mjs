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
        const whole = {x: 0, y: 0, w: kCanvas.width, h: 538};
        const flying = drawn(await shot(page, decoder), {x: 660, y: 140, w: 600, h: 398});
        const away = centre(flying);
        if (!(Math.hypot(away.x - before.x, away.y - before.y) > 30)) {
            fail(`the ship did not move with the up arrow key (centre ${away.x}, ${away.y})`);
        }
        console.log(`moved: the ship's centre went from (${before.x.toFixed(0)}, ${before.y.toFixed(0)}) to (${away.x.toFixed(0)}, ${away.y.toFixed(0)})`);
        const beforeShot = drawn(await shot(page, decoder), whole).length;
        await hold(page, ' ', 2);
        const fired = drawn(await shot(page, decoder), whole).length;
        if (!(fired > beforeShot)) fail('no bullet appeared after the space bar');
        console.log(`fired: ${fired - beforeShot} more drawn pixels with the bullet out`);
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
