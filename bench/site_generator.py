#!/usr/bin/python3
"""Generates a static web site for the crawl benchmark.

    site_generator.py OUT_DIR --pages N --base-url http://127.0.0.1:PORT [--seed S]

Writes N HTML pages into nested folders, plus stylesheets, scripts and
images, and OUT_DIR/../<name>.manifest.json describing what a complete mirror
holds. The same arguments always give the same bytes.

Every page carries about 15 links in the shapes real sites use: relative,
"./", "../", root-relative, absolute, protocol-relative, folder links ending
in "/", fragments, %-escaped names, a few queries, images (also as a
"background" attribute), stylesheets and scripts, with the odd off-site,
mailto: and same-page link. Every on-site link leads to an existing file, so
a complete mirror has no errors. Queries: each folder's index links its
"list.html?page=2" (nginx serves list.html for it, yet to a crawler it is a
page of its own), so query URLs stay a few percent of all pages.
"""
import argparse
import json
import math
import os
import random
import sys
from urllib.parse import urlsplit

PAGES_PER_FOLDER = 25
FOLDER_FANOUT = 5
FOLDER_WORDS = ["area", "topic", "part", "unit", "shelf", "wing"]
WORDS = ("tide harbour current shore vessel anchor chart beacon channel estuary reef "
         "sounding ledger voyage keel mooring inlet breakwater lighthouse quay gale "
         "ebb flood neap spring drift fathom compass bearing marker buoy pilot").split()
OFFSITE_URL = "http://127.0.0.2:9/elsewhere.html"   # loopback, nothing listens there
PNG_HEADER = bytes.fromhex("89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489")


class Site:
    """The folder tree and the pages in it, before any file is written."""

    def __init__(self, pages, rng):
        self.rng = rng
        folder_count = max(1, math.ceil(pages / PAGES_PER_FOLDER))
        self.folders = [""]        # relative paths, "" is the root
        self.children = {"": []}
        queue = [""]
        while len(self.folders) < folder_count:
            parent = queue.pop(0)
            depth = parent.count("/") + 1 if parent else 0
            word = FOLDER_WORDS[depth % len(FOLDER_WORDS)]
            for index in range(1, FOLDER_FANOUT + 1):
                if len(self.folders) >= folder_count:
                    break
                path = (parent + "/" if parent else "") + f"{word}{index}"
                self.folders.append(path)
                self.children[path] = []
                self.children[parent].append(path)
                queue.append(path)
        # Pages per folder: index.html and list.html everywhere, "about us.html"
        # in every fourth folder, then articles until the count is reached.
        self.pages = {folder: ["index.html", "list.html"] for folder in self.folders}
        for number, folder in enumerate(self.folders):
            if number % 4 == 1:
                self.pages[folder].append("about us.html")
        placed = sum(len(names) for names in self.pages.values())
        article = 0
        while placed < pages:
            folder = self.folders[article % len(self.folders)]
            self.pages[folder].append(f"article-{article + 1:05d}.html")
            article += 1
            placed += 1
        # Trim from the end when the fixed pages already pass the count
        # (tiny sites): never the root's index.
        while placed > pages:
            for folder in reversed(self.folders):
                if len(self.pages[folder]) > 1 and placed > pages:
                    self.pages[folder].pop()
                    placed -= 1
        self.all_pages = [(folder, name) for folder in self.folders for name in self.pages[folder]]
        # Images: a shared pool under /assets/img and a few beside the pages.
        self.shared_images = [f"assets/img/pic-{n:04d}.png" for n in range(max(8, pages // 40))]
        self.local_images = {}
        for number, folder in enumerate(self.folders):
            if number % 3 == 0:
                prefix = (folder + "/" if folder else "") + "images/"
                self.local_images[folder] = [prefix + f"photo-{n}.png" for n in range(3)]
        self.stylesheets = ["assets/css/site.css", "assets/css/print.css", "assets/css/theme-dark.css"]
        self.scripts = ["assets/js/app.js", "assets/js/menu.js", "assets/js/search.js"]


def url_path(folder, name=""):
    """The site-absolute path of a file in a folder ("/a/b/name")."""
    return "/" + (folder + "/" if folder else "") + name


def relative_to(folder, target_folder, name=""):
    """The relative path from a page in `folder` to `name` in `target_folder`."""
    start = folder.split("/") if folder else []
    goal = target_folder.split("/") if target_folder else []
    common = 0
    while common < min(len(start), len(goal)) and start[common] == goal[common]:
        common += 1
    parts = [".."] * (len(start) - common) + goal[common:]
    text = "/".join(parts)
    if text:
        text += "/"
    return text + name


def escape_name(name):
    return name.replace(" ", "%20")


class LinkShapes:
    """Writes one link target in a chosen shape."""

    def __init__(self, base_url):
        parts = urlsplit(base_url)
        self.base = f"{parts.scheme}://{parts.netloc}"
        self.netloc = parts.netloc

    def shape(self, kind, folder, target_folder, name):
        name = escape_name(name)
        if kind == "relative":
            return relative_to(folder, target_folder, name) or "./"
        if kind == "dot":
            return "./" + relative_to(folder, target_folder, name)
        if kind == "root":
            return url_path(target_folder, name)
        if kind == "absolute":
            return self.base + url_path(target_folder, name)
        if kind == "protocol":
            return "//" + self.netloc + url_path(target_folder, name)
        raise ValueError(kind)


ANCHOR_SHAPES = ["relative", "relative", "relative", "dot", "root", "root", "absolute", "protocol"]


def words(rng, count):
    return " ".join(rng.choice(WORDS) for _ in range(count))


def page_html(site, shapes, rng, folder, name, number):
    rel = lambda target_folder, target_name="": relative_to(folder, target_folder, escape_name(target_name))
    links = []   # anchor lines
    # Navigation: home, the folder, its parent.
    links.append(f'<a href="/">Home</a>')
    links.append(f'<a href="{rel(folder, "index.html")}">This section</a>')
    if folder:
        parent = folder.rsplit("/", 1)[0] if "/" in folder else ""
        links.append(f'<a href="../">Up</a>' if number % 2 else f'<a href="{rel(parent, "index.html")}">Up</a>')
    if name == "index.html":
        # An index lists its folder and links each subfolder as "sub/".
        for child in site.children[folder]:
            links.append(f'<a href="{rel(child)}">{child.rsplit("/", 1)[-1]}</a>')
        for other in site.pages[folder]:
            if other == "list.html":
                links.append(f'<a href="list.html?page=2">Page two of the list</a>')
            elif other != "index.html":
                links.append(f'<a href="{escape_name(other)}">{other[:-5]}</a>')
    # Links across the site in every shape, some with a fragment.
    for _ in range(7):
        target_folder, target_name = rng.choice(site.all_pages)
        kind = rng.choice(ANCHOR_SHAPES)
        href = shapes.shape(kind, folder, target_folder, target_name)
        if rng.random() < 0.2:
            href += f"#s{rng.randint(1, 3)}"
        links.append(f'<a href="{href}">{words(rng, 3)}</a>')
    if number % 9 == 0 and "list.html" in site.pages[folder]:
        links.append('<a href="list.html?page=2">More of the list</a>')
    if number % 10 == 0:
        links.append(f'<a href="{OFFSITE_URL}">A friend\'s site</a>')
        links.append('<a href="mailto:harbour@example.invalid">Write to us</a>')
    if number % 7 == 0:
        links.append('<a href="#top">Back to top</a>')

    css = site.stylesheets[number % len(site.stylesheets)]
    script = site.scripts[number % len(site.scripts)]
    css_href = "/" + css if number % 2 else rel("assets/css", css.rsplit("/", 1)[1])
    script_src = rel("assets/js", script.rsplit("/", 1)[1]) if number % 3 else "/" + script
    images = []
    for slot in range(2):
        local = site.local_images.get(folder)
        if local and slot == 0:
            image = local[number % len(local)]
            images.append(image[len(folder) + 1:] if folder else image)
        else:
            image = rng.choice(site.shared_images)
            images.append("/" + image if rng.random() < 0.5 else rel("assets/img", image.rsplit("/", 1)[1]))
    background = ""
    if number % 5 == 0:
        background = f' background="{rel("assets/img", rng.choice(site.shared_images).rsplit("/", 1)[1])}"'

    paragraphs = "\n".join(f"<p>{words(rng, rng.randint(60, 110))}</p>" for _ in range(rng.randint(3, 6)))
    title = name[:-5].replace("-", " ").title()
    items = "\n".join(f"<li>{link}</li>" for link in links)
    return f"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{title} - {folder or "home"}</title>
<link rel="stylesheet" href="{css_href}">
<script src="{script_src}"></script>
</head>
<body>
<a name="top"></a>
<h1 id="s1">{title}</h1>
<img src="{images[0]}" alt="picture" width="1" height="1">
<ul class="nav">
{items}
</ul>
<h2 id="s2">Notes</h2>
<table{background}><tr><td>{words(rng, 12)}</td><td><img src="{images[1]}" alt=""></td></tr></table>
{paragraphs}
<h2 id="s3">End</h2>
</body>
</html>
"""


def write(root, relative_path, data):
    path = os.path.join(root, relative_path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data if isinstance(data, bytes) else data.encode("utf-8"))
    return len(data)


def generate(out_dir, pages, base_url, seed):
    rng = random.Random(seed)
    site = Site(pages, rng)
    shapes = LinkShapes(base_url)
    total_bytes = 0
    for number, (folder, name) in enumerate(site.all_pages):
        total_bytes += write(out_dir, url_path(folder, name)[1:], page_html(site, shapes, rng, folder, name, number))
    for n, image in enumerate(site.shared_images + [i for imgs in site.local_images.values() for i in imgs]):
        total_bytes += write(out_dir, image, PNG_HEADER + bytes(rng.getrandbits(8) for _ in range(200 + n % 300)))
    for css in site.stylesheets:
        total_bytes += write(out_dir, css, "body { font-family: serif; margin: 2em; }\n" * 20)
    for script in site.scripts:
        total_bytes += write(out_dir, script, "function noop() { return 0; }\n" * 20)
    assets = len(site.shared_images) + sum(len(i) for i in site.local_images.values()) + 6
    query_urls = sum(1 for names in site.pages.values() if "list.html" in names)  # list.html?page=2
    return {
        "pages": len(site.all_pages),
        "folders": len(site.folders),
        "assets": assets,
        "query_urls": query_urls,
        "files": len(site.all_pages) + assets,
        "urls": len(site.all_pages) + assets + query_urls,
        "bytes": total_bytes,
        "base_url": base_url,
        "seed": seed,
    }


def main():
    parser = argparse.ArgumentParser(description="Generate a benchmark web site")
    parser.add_argument("out_dir")
    parser.add_argument("--pages", type=int, default=3000)
    parser.add_argument("--base-url", required=True, help="http://127.0.0.1:PORT the site is served from")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--manifest", help="where to write the manifest (default: print it)")
    args = parser.parse_args()
    if args.pages < 1:
        parser.error("--pages must be at least 1")
    os.makedirs(args.out_dir, exist_ok=True)
    manifest = generate(args.out_dir, args.pages, args.base_url.rstrip("/"), args.seed)
    text = json.dumps(manifest, indent=1, sort_keys=True)
    if args.manifest:
        with open(args.manifest, "w") as out:
            out.write(text + "\n")
    else:
        print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
