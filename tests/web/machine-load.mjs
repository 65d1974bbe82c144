// How much of the machine other programs took while a test ran: the processor time of every
// process outside this one and its descendants (the browser, the display server, the sampler),
// from /proc. A page cannot raise its priority, so on a machine whose cores something else keeps
// busy its swaps come late: that says nothing about the page, and a test must tell it apart.
import fs from 'node:fs';
import os from 'node:os';

// The machine's busy time and this process tree's, in clock ticks, now.
export function cpuSnapshot() {
  const [, ...fields] = fs.readFileSync('/proc/stat', 'utf8').split('\n')[0].trim().split(/\s+/);
  const [user, nice, system, idle, iowait, irq, softirq, steal] = fields.map(Number);
  const busy = user + nice + system + irq + softirq + steal;
  const parents = new Map();
  const ticks = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    } catch {
      continue;  // ended meanwhile
    }
    // After the command's name (in parentheses, which may hold spaces): state, parent, ... and
    // from the twelfth on the times of the process and of its children that it waited for.
    const after = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    parents.set(pid, after[1]);
    ticks.set(pid, after.slice(11, 15).map(Number).reduce((sum, value) => sum + value, 0));
  }
  const ours = (pid) => {
    for (let at = pid, hops = 0; at && hops < 64; at = parents.get(at), ++hops) {
      if (at === String(process.pid)) return true;
    }
    return false;
  };
  let mine = 0;
  for (const [pid, time] of ticks) {
    if (ours(pid)) mine += time;
  }
  return {busy, total: busy + idle + iowait, mine};
}

// The cores that other programs kept busy between two snapshots, on average (0 to the count of
// cores).
export function othersCores(before, after) {
  const elapsed = after.total - before.total;
  if (elapsed <= 0) return 0;
  const others = (after.busy - before.busy) - (after.mine - before.mine);
  return Math.max(0, others / elapsed) * os.cpus().length;
}
