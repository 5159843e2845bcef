"""A drive that does not answer how much is free until the test lets it, as a share whose server has
gone (or, made with hold=False, one that answers at once with the free size it is given): an empty folder served over the kernel's FUSE device, no library needed, mounted in the test's
own mount namespace. Every other question is answered at once, and so is the wineserver's look at a
new device: it serves every Wine process from one thread, so holding it would stop all of Wine, which
on Windows the program's own question does not do. Made with slow=N, every free-space question takes
N seconds, the wineserver's too, and server_waiting tells whether the wineserver waits on one now."""
import ctypes, errno, os, struct, threading

LOOKUP, GETATTR, STATFS, INIT, OPENDIR, READDIR, RELEASEDIR, ACCESS = 1, 3, 17, 26, 27, 28, 29, 34
SILENT = {2, 36, 42}  # forget, interrupt, batch forget: no answer is expected
BLOCK = 4096


def caller(pid):
    try:
        with open(f"/proc/{pid}/comm") as comm:
            return comm.read().strip()
    except OSError:
        return ""


class BlockingFs:
    def __init__(self, folder, free=10 << 20, hold=True, slow=0):
        self.folder, self.fd, self.free_blocks = str(folder), None, free // BLOCK
        self.held, self.holding, self.lock = [], hold and not slow, threading.Lock()
        self.slow, self.server_questions, self.program_questions = slow, set(), 0

    def server_waiting(self):
        return bool(self.server_questions)

    def answer_late(self, unique, server):
        if server:
            self.server_questions.add(unique)
        else:
            self.program_questions += 1
        def answer():
            self.server_questions.discard(unique)
            self.answer_statfs(unique)
        threading.Timer(self.slow, answer).start()

    def mount(self):
        """Mounts it, or returns why this machine cannot."""
        if not os.path.exists("/dev/fuse"):
            return "this machine has no /dev/fuse"
        try:
            self.fd = os.open("/dev/fuse", os.O_RDWR)
        except OSError as e:
            return "/dev/fuse cannot be opened: " + e.strerror
        os.makedirs(self.folder, exist_ok=True)
        options = f"fd={self.fd},rootmode=40000,user_id=0,group_id=0".encode()
        if ctypes.CDLL(None, use_errno=True).mount(b"kvslow", self.folder.encode(), b"fuse.kvslow", 0, options):
            why = "the kernel refused a FUSE mount: " + os.strerror(ctypes.get_errno())
            os.close(self.fd)
            os.rmdir(self.folder)
            self.fd = None
            return why
        threading.Thread(target=self.serve, daemon=True).start()
        return None

    def release(self):
        """Answers the free-space questions held so far; later ones are held again."""
        with self.lock:
            held, self.held = self.held, []
        for unique in held:
            self.answer_statfs(unique)
        return len(held)

    def answer_statfs(self, unique):
        free = self.free_blocks
        counts = struct.pack("<QQQQQIII", free * 4, free, free, 0, 0, BLOCK, 255, BLOCK)
        self.reply(unique, counts.ljust(80, b"\0"))

    def let_go(self):
        """Answers every question from now on, the held ones first: nothing waits on the drive any more."""
        self.holding = False
        self.release()

    def unmount(self):
        if self.fd is not None:
            self.let_go()
            ctypes.CDLL(None).umount2(self.folder.encode(), 2)  # MNT_DETACH: gone once its last user is
            os.rmdir(self.folder)

    def reply(self, unique, body=b"", error=0):
        try:
            os.write(self.fd, struct.pack("<IiQ", 16 + len(body), -error, unique) + body)
        except OSError:
            pass  # the question was given up, or the file system is gone

    def serve(self):
        while True:
            try:
                request = os.read(self.fd, 1 << 17)
            except OSError:
                return  # unmounted
            _, opcode, unique, _, _, _, pid = struct.unpack_from("<IIQQIII", request)
            if opcode == INIT:
                minor = struct.unpack_from("<I", request, 44)[0]
                self.reply(unique, struct.pack("<IIIIHHII", 7, min(minor, 31), 0, 0, 1, 1, 4096, 1).ljust(64, b"\0"))
            elif opcode == GETATTR:
                attr = struct.pack("<QQQQQQIIIIIIIIII", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0o40755, 2, 0, 0, 0, BLOCK, 0)
                self.reply(unique, struct.pack("<QII", 1, 0, 0) + attr)
            elif opcode == OPENDIR:
                self.reply(unique, struct.pack("<QII", 1, 0, 0))
            elif opcode in (READDIR, RELEASEDIR, ACCESS):
                self.reply(unique)  # an empty folder that anyone may read
            elif opcode == STATFS and self.slow:
                self.answer_late(unique, caller(pid).startswith("wineserver"))
            elif opcode == STATFS:
                with self.lock:
                    hold = self.holding and not caller(pid).startswith("wineserver")
                    if hold:
                        self.held.append(unique)
                if not hold:
                    self.answer_statfs(unique)
            elif opcode not in SILENT:
                self.reply(unique, error=errno.ENOENT if opcode == LOOKUP else errno.ENOSYS)
