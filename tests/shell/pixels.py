"""Reads a screenshot of the demo's client area (a binary PPM of 800 x 600)
and counts, for a scene (title, balls, rings, landscape, black), the colours
in the places that scene draws, with the range each count must fall in."""


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    assert fields[0] == b'P6' and fields[3] == b'255', 'not an 8-bit binary PPM'
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos:pos + 3 * width * height]


class Picture:
    def __init__(self, path):
        self.width, self.height, self.data = read_ppm(path)

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def count(self, xs, ys, test):
        return sum(1 for y in ys for x in xs if test(*self.at(x, y)))


def lit(r, g, b):
    return r + g + b > 0


def white(r, g, b):
    return r > 200 and g > 200 and b > 200


def green(r, g, b):
    return g > 120 and g > r + 60 and g > b + 60


def orange(r, g, b):
    return r > 150 and 40 < g < r - 40 and b < g


def red(r, g, b):
    return r > 100 and r > g + 50 and r > b + 50


def checks(p, scene):
    everywhere_x, everywhere_y = range(0, 800, 2), range(0, 600, 2)
    if scene == 'black':
        return {'lit pixels': (p.count(everywhere_x, everywhere_y, lit), 0, 0)}
    if scene == 'title':
        return {
            'green near row 300': (p.count(range(800), range(280, 321), green), 300, None),
            'lit above row 250': (p.count(range(800), range(0, 250), lit), 0, 0),
            'lit below row 350': (p.count(range(800), range(350, 600), lit), 0, 0),
        }
    if scene == 'balls':
        return {
            'white at x=99, rows 100..499': (p.count([99], range(100, 500), white), 300, None),
            'white at x=700, rows 100..499': (p.count([700], range(100, 500), white), 300, None),
            'lit outside the arena': (p.count(range(0, 95), range(600), lit)
                                      + p.count(range(705, 800), range(600), lit), 0, 0),
            'coloured inside the arena': (p.count(range(101, 699, 2), range(101, 499, 2),
                                                  lambda r, g, b: lit(r, g, b) and not white(r, g, b)), 500, None),
        }
    if scene == 'rings':
        return {
            'orange in columns 536..737': (p.count(range(536, 738), range(0, 600, 2), orange), 500, None),
            'lit left of the column': (p.count(range(0, 520, 2), range(0, 600, 2), lit), 1000, None),
        }
    if scene == 'landscape':
        return {
            'greeting white or green above row 300': (p.count(range(800), range(0, 300),
                                                              lambda r, g, b: white(r, g, b) or green(r, g, b)), 300, None),
            'red below row 365': (p.count(range(0, 800, 2), range(365, 600, 2), red), 2000, None),
        }
    raise SystemExit('unknown scene ' + scene)

